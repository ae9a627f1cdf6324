#include "platform/forms.h"

namespace gimbalo {

Control::Control(Form& form, ControlKind kind, std::string name)
    : form_(form), kind_(kind), name_(std::move(name)) {
    form_.Add(this);
}

void Control::Notify(Property what) {
    if (ModelObserver* observer = form_.Observer()) observer->ControlChanged(*this, what);
}

void Control::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Notify(Property::Caption);
}

void Control::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Notify(Property::Enabled);
}

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Notify(Property::Visible);
}

void Control::SetTop(int top) {
    if (top == layout.bounds.top) return;
    layout.bounds.top = top;
    Notify(Property::Bounds);
}

void Timer::SetInterval(int milliseconds) {
    if (milliseconds < 0) milliseconds = 0;
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    Notify(Property::Interval);
}

Form::Form(std::string name) : name_(std::move(name)) {}

Control* Form::FindControl(const std::string& name) const {
    for (Control* control : controls_)
        if (control->Name() == name) return control;
    return nullptr;
}

void Form::NotifyForm(Property what) {
    if (observer_) observer_->FormChanged(*this, what);
}

void Form::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    NotifyForm(Property::Caption);
}

void Form::Show() {
    if (visible_) return;
    visible_ = true;
    NotifyForm(Property::Visible);
}

void Form::Hide() {
    if (!visible_) return;
    visible_ = false;
    NotifyForm(Property::Visible);
}

}  // namespace gimbalo
