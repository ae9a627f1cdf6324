#include "platform/forms/form.h"

#include "platform/forms/update.h"

namespace gimbalo {

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
    if (Update(caption_, caption)) NotifyForm(Property::Caption);
}

void Form::SetIcon(int32_t handle) {
    if (Update(icon_, handle)) NotifyForm(Property::Icon);
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
