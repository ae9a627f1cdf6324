#include "platform/forms/menus.h"

#include "platform/forms/form.h"
#include "platform/forms/update.h"

namespace gimbalo {

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
    if (Update(caption_, caption)) Notify(Property::Caption);
}

void MenuItem::SetPicture(int32_t handle) {
    if (Update(picture_, handle)) Notify(Property::Picture);
}

void MenuItem::SetEnabled(bool enabled) {
    if (Update(enabled_, enabled)) Notify(Property::Enabled);
}

bool MenuItem::UserChoose() {
    if (IsSeparator() || !enabled_) return false;
    if (Click) Click();
    return true;
}

}  // namespace gimbalo
