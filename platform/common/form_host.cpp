#include "platform/common/form_host.h"

#include "platform/common/form_window.h"

namespace gimbalo {

void FormHost::Attach() {
    form_.SetObserver(this);
    for (Control* control : form_.Controls())
        if (control->Kind() == ControlKind::Timer) FollowTimer(static_cast<Timer&>(*control));
    if (form_.Visible()) FormChanged(form_, Property::Visible);
}

FormHost::~FormHost() {
    if (form_.Observer() == this) form_.SetObserver(nullptr);
}

void FormHost::ControlChanged(Control& control, Property what) {
    if (control.Kind() == ControlKind::Timer &&
        (what == Property::Interval || what == Property::Enabled))
        FollowTimer(static_cast<Timer&>(control));
    else if (FormWindow* window = ExistingWindow())
        window->ControlChanged(control, what);
}

void FormHost::FormChanged(Form&, Property what) {
    // The window is made from the models as they stand when it is first
    // needed; until then there is nothing to update.
    FormWindow* window = ExistingWindow();
    if (window == nullptr && what == Property::Visible && form_.Visible()) window = MakeWindow();
    if (window != nullptr) window->FormChanged(what);
}

// Menus are built from their models each time they are shown.
void FormHost::MenuItemChanged(MenuItem&, Property) {}

}  // namespace gimbalo
