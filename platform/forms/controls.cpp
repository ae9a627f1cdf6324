#include "platform/forms/controls.h"

#include "platform/forms/form.h"
#include "platform/forms/update.h"

namespace gimbalo {

Control::Control(Form& form, ControlKind kind, ControlDesign design)
    : form_(form),
      kind_(kind),
      design_(std::move(design)),
      caption_(design_.caption),
      enabled_(design_.enabled),
      visible_(design_.visible) {
    form_.Add(this);
}

const Font& Control::EffectiveFont() const {
    return design_.font ? *design_.font : form_.Layout().font;
}

Control* Control::CaptionLabel() const {
    for (Control* control : form_.Controls())
        if (control->Layout().captionOf == this) return control;
    return nullptr;
}

Rgb Control::BackgroundBehind() const {
    for (const Control* c = this; c != nullptr; c = c->Container())
        if (c->Layout().backColor && !c->Layout().transparent) return *c->Layout().backColor;
    return form_.Layout().backColor;
}

void Control::Notify(Property what) {
    if (ModelObserver* observer = form_.Observer()) observer->ControlChanged(*this, what);
}

void Control::SetCaption(const std::string& caption) {
    if (Update(caption_, caption)) Notify(Property::Caption);
}

void Control::SetEnabled(bool enabled) {
    if (Update(enabled_, enabled)) Notify(Property::Enabled);
}

void Control::SetVisible(bool visible) {
    if (Update(visible_, visible)) Notify(Property::Visible);
}

void Control::SetTop(int top) {
    if (Update(design_.bounds.top, top)) Notify(Property::Bounds);
}

void Control::SetBounds(const Bounds& bounds) {
    if (Update(design_.bounds, bounds)) Notify(Property::Bounds);
}

bool Control::Reachable() const {
    for (const Control* c = this; c != nullptr; c = c->Container())
        if (!c->Enabled() || !c->Visible()) return false;
    return true;
}

bool Control::UserClick() {
    if (!Reachable()) return false;
    if (Click) Click();
    return true;
}

// ---- ComboBox ----

void ComboBox::AddItem(const std::string& item) {
    items_.push_back(item);
    Notify(Property::Items);
}

bool ComboBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) return false;
    if (index == -1) {
        const bool hadText = !text_.empty();
        const bool hadIndex = listIndex_ != -1;
        listIndex_ = -1;
        text_.clear();
        if (hadIndex) Notify(Property::ListIndex);
        if (hadText) {
            Notify(Property::Text);
            if (Change) Change();
        }
        return true;
    }
    listIndex_ = index;
    text_ = items_[static_cast<std::size_t>(index)];
    Notify(Property::ListIndex);
    Notify(Property::Text);
    if (Click) Click();
    return true;
}

void ComboBox::SetText(const std::string& text) {
    if (!Update(text_, text)) return;
    auto found = std::find(items_.begin(), items_.end(), text_);
    const int index = found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
    const bool indexChanged = index != listIndex_;
    listIndex_ = index;
    Notify(Property::Text);
    if (indexChanged) Notify(Property::ListIndex);
    if (Change) Change();
}

bool ComboBox::UserPick(int index) {
    if (!Reachable() || index < 0 || index >= ListCount()) return false;
    return SetListIndex(index);
}

bool ComboBox::UserType(const std::string& text) {
    if (!Reachable()) return false;
    SetText(text);
    return true;
}

// ---- CheckBox ----

void CheckBox::SetValue(int value) {
    if (!Update(value_, value)) return;
    Notify(Property::Value);
    if (Click) Click();
}

bool CheckBox::UserToggle() {
    if (!Reachable()) return false;
    SetValue(value_ == 1 ? 0 : 1);
    return true;
}

// ---- pictures and timers ----

void PictureControl::SetPicture(int32_t handle) {
    if (Update(picture_, handle)) Notify(Property::Picture);
}

void Timer::SetInterval(int milliseconds) {
    if (milliseconds < 0) milliseconds = 0;
    if (Update(interval_, milliseconds)) Notify(Property::Interval);
}

}  // namespace gimbalo
