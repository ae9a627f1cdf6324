// A window of the program that is never shown, with handlers set per
// message; a message without one goes to DefWindowProc. The hidden top-level
// window receives the tray icon's callbacks, owns the popup menu, hears the
// shell's "TaskbarCreated" broadcast and the session's end; message-only
// ones take the ticks and the joystick's raw input, and hear no broadcast.
#pragma once

#include <functional>
#include <map>

#include "platform/windows/win32.h"

namespace gimbalo {

class MessageWindow {
public:
    using Handler = std::function<LRESULT(WPARAM, LPARAM)>;

    enum class Kind { TopLevel, MessageOnly };

    explicit MessageWindow(HINSTANCE instance, Kind kind = Kind::TopLevel);
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
