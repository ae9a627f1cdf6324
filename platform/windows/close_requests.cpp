#include "platform/windows/close_requests.h"

#include <atomic>

#include "platform/windows/message_window.h"

namespace gimbalo {

namespace {

// The hidden window a console's Ctrl+C or closing asks to close. The console
// calls its handler on a thread of its own, with nothing of the program's
// in hand.
std::atomic<HWND> closedByConsole{nullptr};

BOOL WINAPI CloseOnConsoleEvent(DWORD event) {
    HWND window = closedByConsole.load();
    if (window == nullptr) return FALSE;
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            // Closed as the exit command closes: no button is left held.
            PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

CloseRequests::CloseRequests(MessageWindow& window, std::function<void()> close) : window_(window) {
    window_.On(WM_QUERYENDSESSION, [](WPARAM, LPARAM) -> LRESULT { return TRUE; });
    window_.On(WM_ENDSESSION, [close](WPARAM ending, LPARAM) -> LRESULT {
        if (ending) close();
        return 0;
    });
    window_.On(WM_CLOSE, [close](WPARAM, LPARAM) -> LRESULT {
        close();
        return 0;
    });
    closedByConsole = window_.Handle();
    SetConsoleCtrlHandler(&CloseOnConsoleEvent, TRUE);
}

CloseRequests::~CloseRequests() {
    SetConsoleCtrlHandler(&CloseOnConsoleEvent, FALSE);
    closedByConsole = nullptr;
    window_.Off(WM_QUERYENDSESSION);
    window_.Off(WM_ENDSESSION);
    window_.Off(WM_CLOSE);
}

}  // namespace gimbalo
