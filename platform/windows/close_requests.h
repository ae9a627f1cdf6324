// While the message loop runs, what asks the program to close: the session's
// end, WM_CLOSE sent to the hidden window (taskkill without /F, a replay's
// end) and, for a program started from a console (the replay), its Ctrl+C
// or its closing. Each closes the program as its exit command does, so the
// settings are saved and the tray icon goes.
#pragma once

#include <functional>

namespace gimbalo {

class MessageWindow;

class CloseRequests {
public:
    // From now on each request runs `close` on the user-interface thread.
    CloseRequests(MessageWindow& window, std::function<void()> close);
    // No request reaches the program after this.
    ~CloseRequests();
    CloseRequests(const CloseRequests&) = delete;
    CloseRequests& operator=(const CloseRequests&) = delete;

private:
    MessageWindow& window_;
};

}  // namespace gimbalo
