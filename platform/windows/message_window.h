// The program's hidden top-level window: it receives the tray icon's
// callbacks, owns the popup menu, hears the shell's "TaskbarCreated"
// broadcast and the session's end. It is never shown. Handlers are set per
// message; a message without one goes to DefWindowProc.
#pragma once

#include <functional>
#include <map>

#include "platform/windows/win32.h"

namespace gimbalo {

class MessageWindow {
public:
    using Handler = std::function<LRESULT(WPARAM, LPARAM)>;

    explicit MessageWindow(HINSTANCE instance);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Null when the window could not be made.
    HWND Handle() const { return window_; }
    // `handler` answers `message` from now on, in place of any earlier one.
    void On(UINT message, Handler handler);
    void Off(UINT message);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    std::map<UINT, Handler> handlers_;
};

}  // namespace gimbalo
