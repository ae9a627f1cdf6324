#include "platform/forms.h"

#include <algorithm>
#include <cmath>

namespace gimbalo {

// ---- colours ----

namespace {

double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Rgb colour) {
    return 0.2126 * Linear(RedOf(colour)) + 0.7152 * Linear(GreenOf(colour)) +
           0.0722 * Linear(BlueOf(colour));
}

int Towards(int from, int to, int step) {
    return from + static_cast<int>(std::lround((to - from) * step / 255.0));
}

}  // namespace

double ContrastRatio(Rgb first, Rgb second) {
    const double a = Luminance(first);
    const double b = Luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

Rgb StrongestOn(Rgb background) {
    return ContrastRatio(kBlack, background) >= ContrastRatio(kWhite, background) ? kBlack : kWhite;
}

Rgb ReadableOn(Rgb colour, Rgb background, double minimum) {
    if (ContrastRatio(colour, background) >= minimum) return colour;
    const Rgb target = StrongestOn(background);
    // Luminance only moves toward the target's, so the first step that is
    // enough is the least change.
    for (int step = 1; step <= 255; ++step) {
        const Rgb moved = RGB(Towards(RedOf(colour), RedOf(target), step),
                              Towards(GreenOf(colour), GreenOf(target), step),
                              Towards(BlueOf(colour), BlueOf(target), step));
        if (ContrastRatio(moved, background) >= minimum) return moved;
    }
    return target;
}

// ---- Control ----

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
    if (top == design_.bounds.top) return;
    design_.bounds.top = top;
    Notify(Property::Bounds);
}

void Control::SetBounds(const Bounds& bounds) {
    if (bounds == design_.bounds) return;
    design_.bounds = bounds;
    Notify(Property::Bounds);
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
    if (text == text_) return;
    text_ = text;
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
    if (value == value_) return;
    value_ = value;
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
    if (handle == picture_) return;
    picture_ = handle;
    Notify(Property::Picture);
}

void Timer::SetInterval(int milliseconds) {
    if (milliseconds < 0) milliseconds = 0;
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    Notify(Property::Interval);
}

// ---- menus ----

Menu::Menu(Form& form, std::string name, std::string caption)
    : form_(form), name_(std::move(name)), caption_(std::move(caption)) {
    form_.menus_.push_back(this);
}

MenuItem* Menu::Find(const std::string& name) const {
    for (MenuItem* item : items_)
        if (item->Name() == name) return item;
    return nullptr;
}

MenuItem* Menu::FindById(uint32_t commandId) const {
    for (MenuItem* item : items_)
        if (item->CommandId() == commandId) return item;
    return nullptr;
}

MenuItem::MenuItem(Menu& menu, std::string name, std::string caption)
    : menu_(menu),
      name_(std::move(name)),
      caption_(std::move(caption)),
      position_(static_cast<int>(menu.items_.size())),
      commandId_(menu.form_.nextCommandId_++) {
    menu_.items_.push_back(this);
}

void MenuItem::Notify(Property what) {
    if (ModelObserver* observer = menu_.Owner().Observer()) observer->MenuItemChanged(*this, what);
}

void MenuItem::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Notify(Property::Caption);
}

void MenuItem::SetPicture(int32_t handle) {
    if (handle == picture_) return;
    picture_ = handle;
    Notify(Property::Picture);
}

void MenuItem::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Notify(Property::Enabled);
}

bool MenuItem::UserChoose() {
    if (IsSeparator() || !enabled_) return false;
    if (Click) Click();
    return true;
}

// ---- Form ----

Form::Form(FormDesign design) : design_(std::move(design)), caption_(design_.caption) {}

Control* Form::FindControl(const std::string& name) const {
    for (Control* control : controls_)
        if (control->Name() == name) return control;
    return nullptr;
}

MenuItem* Form::FindMenuItem(const std::string& name) const {
    for (Menu* menu : menus_)
        if (MenuItem* item = menu->Find(name)) return item;
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

void Form::SetIcon(int32_t handle) {
    if (handle == icon_) return;
    icon_ = handle;
    NotifyForm(Property::Icon);
}

void Form::Show() {
    if (visible_) {
        NotifyForm(Property::Foreground);
        return;
    }
    visible_ = true;
    NotifyForm(Property::Visible);
}

void Form::Hide() {
    if (!visible_) return;
    visible_ = false;
    NotifyForm(Property::Visible);
}

MenuItem* FindMenuItemFor(const std::vector<Menu*>& searched, uint32_t item, bool byPosition) {
    if (byPosition) {
        if (searched.size() == 1 && item < searched[0]->Items().size())
            return searched[0]->Items()[item];
        return nullptr;
    }
    for (Menu* menu : searched)
        if (MenuItem* found = menu->FindById(item)) return found;
    return nullptr;
}

uint32_t MenuItemIdAt(const Menu* menu, int position) {
    if (menu == nullptr || position < 0 ||
        static_cast<std::size_t>(position) >= menu->Items().size())
        return 0xFFFFFFFFu;
    return menu->Items()[static_cast<std::size_t>(position)]->CommandId();
}

}  // namespace gimbalo
