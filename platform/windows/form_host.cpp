#include "platform/windows/form_host.h"

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

WindowsFormHost::WindowsFormHost(Form& form, FormHostContext context)
    : form_(form), context_(std::move(context)) {
    form_.SetObserver(this);
    for (Control* control : form_.Controls())
        if (control->Kind() == ControlKind::Timer)
            context_.timers.Follow(static_cast<Timer&>(*control), context_.dispatchTimer);
    if (form_.Visible()) FormChanged(form_, Property::Visible);
}

WindowsFormHost::~WindowsFormHost() {
    for (Control* control : form_.Controls())
        if (control->Kind() == ControlKind::Timer)
            context_.timers.Forget(static_cast<Timer&>(*control));
    if (window_ != nullptr) {
        context_.dialogs.RemoveDialogWindow(window_->Handle());
        window_->Detach();
    }
    if (form_.Observer() == this) form_.SetObserver(nullptr);
}

HWND WindowsFormHost::Window() const {
    return window_ != nullptr ? window_->Handle() : nullptr;
}

HWND WindowsFormHost::WindowOf(const Control& control) const {
    return window_ != nullptr ? window_->WindowOf(control) : nullptr;
}

void WindowsFormHost::ControlChanged(Control& control, Property what) {
    if (control.Kind() == ControlKind::Timer &&
        (what == Property::Interval || what == Property::Enabled))
        context_.timers.Follow(static_cast<Timer&>(control), context_.dispatchTimer);
    else if (window_ != nullptr)
        window_->ControlChanged(control, what);
}

void WindowsFormHost::FormChanged(Form&, Property what) {
    // The window is made from the models as they stand when it is first
    // needed; until then there is nothing to update.
    if (window_ == nullptr && what == Property::Visible && form_.Visible()) {
        window_ = Win32FormWindow::Create(form_, ResourcesFrom(context_));
        if (window_ != nullptr) context_.dialogs.AddDialogWindow(window_->Handle());
    }
    if (window_ != nullptr) window_->FormChanged(what);
}

// Menus are built from their models each time they are shown.
void WindowsFormHost::MenuItemChanged(MenuItem&, Property) {}

}  // namespace gimbalo
