#include "platform/windows/form_host.h"

namespace gimbalo {

WindowsFormHost::WindowsFormHost(Form& form, FormHostContext context)
    : form_(form), context_(std::move(context)) {
    form_.SetObserver(this);
    for (Control* control : form_.Controls())
        if (control->Kind() == ControlKind::Timer)
            context_.timers.Follow(static_cast<Timer&>(*control), context_.dispatchTimer);
}

WindowsFormHost::~WindowsFormHost() {
    for (Control* control : form_.Controls())
        if (control->Kind() == ControlKind::Timer)
            context_.timers.Forget(static_cast<Timer&>(*control));
    if (form_.Observer() == this) form_.SetObserver(nullptr);
}

void WindowsFormHost::ControlChanged(Control& control, Property what) {
    if (control.Kind() == ControlKind::Timer && what == Property::Interval)
        context_.timers.Follow(static_cast<Timer&>(control), context_.dispatchTimer);
}

void WindowsFormHost::FormChanged(Form&, Property) {}

void WindowsFormHost::MenuItemChanged(MenuItem&, Property) {}

}  // namespace gimbalo
