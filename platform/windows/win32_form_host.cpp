#include "platform/windows/win32_form_host.h"

#include "platform/common/picture_files.h"
#include "platform/windows/win32_form_window.h"

namespace gimbalo {

namespace {

WindowResources ResourcesFrom(const FormHostContext& context) {
    PictureStore& pictures = context.pictures;
    WindowResources resources;
    resources.bitmap = [&pictures](int32_t handle) { return pictures.Bitmap(handle); };
    resources.icon = [&pictures](int32_t handle, int size) {
        return pictures.Icon(handle, size, size);
    };
    resources.hand = [&pictures](int size) {
        return pictures.Icon(pictures.Load(kHandPointerPicture), size, size);
    };
    resources.programEnded = context.programEnded;
    return resources;
}

}  // namespace

Win32FormHost::Win32FormHost(Form& form, FormHostContext context)
    : FormHost(form), context_(std::move(context)) {
    Attach();
}

Win32FormHost::~Win32FormHost() {
    for (Control* control : Model().Controls())
        if (control->Kind() == ControlKind::Timer)
            context_.timers.Forget(static_cast<Timer&>(*control));
    if (window_ != nullptr) {
        context_.dialogs.RemoveDialogWindow(window_->Handle());
        window_->Detach();
    }
}

HWND Win32FormHost::Window() const {
    return window_ != nullptr ? window_->Handle() : nullptr;
}

HWND Win32FormHost::WindowOf(const Control& control) const {
    return window_ != nullptr ? window_->WindowOf(control) : nullptr;
}

void Win32FormHost::FollowTimer(Timer& timer) {
    context_.timers.Follow(timer, context_.dispatchTimer);
}

FormWindow* Win32FormHost::ExistingWindow() const {
    return window_;
}

FormWindow* Win32FormHost::MakeWindow() {
    window_ = Win32FormWindow::Create(Model(), ResourcesFrom(context_));
    if (window_ != nullptr) context_.dialogs.AddDialogWindow(window_->Handle());
    return window_;
}

}  // namespace gimbalo
