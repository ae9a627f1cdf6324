// Forms, timers, the message loop and message boxes.
#include <atomic>

#include "platform/windows/form_host.h"
#include "platform/windows/message_loop.h"
#include "platform/windows/tray_icons.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

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

void WindowsPlatform::LoadForm(Form& form) {
    if (hosts_.count(&form) > 0 || !loop_) return;
    FormHostContext context{instance_,  *loop_, [this](Timer& timer) { timers_.Dispatch(timer); },
                            Pictures(), *loop_, [this] { return ended_; }};
    hosts_[&form] = std::make_unique<WindowsFormHost>(form, std::move(context));
}

void WindowsPlatform::UnloadForm(Form& form) {
    hosts_.erase(&form);
    // A form that goes hears no more clicks on its tray icons.
    if (tray_) tray_->ForgetWindow(form);
}

void WindowsPlatform::RunMessageLoop(const std::function<void()>& closeMainWindow) {
    if (ended_ || !loop_) return;
    closeMainWindow_ = closeMainWindow;
    MessageWindow& window = loop_->Window();
    const auto close = [this] {
        if (ended_) return;
        if (closeMainWindow_)
            closeMainWindow_();
        else
            EndProgram();
    };
    // The session ends, or someone asks the program to close (taskkill
    // without /F, a replay's end): it closes as its exit command does, so
    // the settings are saved and the tray icon goes.
    window.On(WM_QUERYENDSESSION, [](WPARAM, LPARAM) -> LRESULT { return TRUE; });
    window.On(WM_ENDSESSION, [close](WPARAM ending, LPARAM) -> LRESULT {
        if (ending) close();
        return 0;
    });
    window.On(WM_CLOSE, [close](WPARAM, LPARAM) -> LRESULT {
        close();
        return 0;
    });
    // Only a program started from a console (the replay) hears of these.
    closedByConsole = window.Handle();
    SetConsoleCtrlHandler(&CloseOnConsoleEvent, TRUE);
    loop_->Run();
    SetConsoleCtrlHandler(&CloseOnConsoleEvent, FALSE);
    closedByConsole = nullptr;
    window.Off(WM_QUERYENDSESSION);
    window.Off(WM_ENDSESSION);
    window.Off(WM_CLOSE);
    closeMainWindow_ = nullptr;
}

void WindowsPlatform::EndProgram() {
    ended_ = true;
    // Leaves every running loop, a modal one's included.
    if (loop_) loop_->Quit();
}

int WindowsPlatform::MessageBox(const std::string& text, uint32_t style, const std::string& title) {
    if (!loop_) return 0;
    MessageLoop::ModalScope modal(*loop_);
    // No window of the program is on the screen: the box comes to the front
    // by itself.
    return MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(),
                       style | MB_SETFOREGROUND | MB_TASKMODAL);
}

}  // namespace gimbalo
