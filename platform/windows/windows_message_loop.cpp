// Forms, timers, the message loop and message boxes.
#include "platform/windows/close_requests.h"
#include "platform/windows/ui_thread_loop.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win32_form_host.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo {

std::unique_ptr<FormHost> WindowsPlatform::MakeHost(Form& form) {
    if (!loop_) return nullptr;
    FormHostContext context{instance_,  *loop_, [this](Timer& timer) { timers_.Dispatch(timer); },
                            Pictures(), *loop_, [this] { return ended_; }};
    return std::make_unique<Win32FormHost>(form, std::move(context));
}

void WindowsPlatform::RunMessageLoop(const std::function<void()>& closeMainWindow) {
    if (ended_ || !loop_) return;
    const CloseRequests requests(loop_->Window(),
                                 [this, closeMainWindow] { CloseRequested(closeMainWindow); });
    loop_->Run();
}

void WindowsPlatform::EndProgram() {
    ended_ = true;
    // Leaves every running loop, a modal one's included.
    if (loop_) loop_->Quit();
}

int WindowsPlatform::MessageBox(const std::string& text, uint32_t style, const std::string& title) {
    if (!loop_) return 0;
    // No window of the program is on the screen: the box comes to the front
    // by itself.
    return MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(),
                       style | MB_SETFOREGROUND | MB_TASKMODAL);
}

}  // namespace gimbalo
