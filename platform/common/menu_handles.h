// The menu calls of the desktop backends (GetMenu, GetSubMenu, GetMenuItemID,
// SetMenuItemBitmaps) on the models of their loaded forms. A menu bar's handle
// is its form's address and a menu's handle its own; a handle counts only
// while its form is loaded, so a stale or made-up one finds nothing.
// `Loaded` is any map whose keys are the loaded forms (Form*).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/forms.h"
#include "platform/platform.h"

namespace gimbalo::menu_handles {

inline MenuHandle HandleOf(const void* address) {
    return reinterpret_cast<MenuHandle>(address);
}

// The loaded form whose menu bar `handle` is, or nullptr.
template <typename Loaded>
Form* MenuBarOf(const Loaded& loaded, MenuHandle handle) {
    for (const auto& entry : loaded)
        if (HandleOf(entry.first) == handle && !entry.first->Menus().empty()) return entry.first;
    return nullptr;
}

// The menu of a loaded form that `handle` is, or nullptr.
template <typename Loaded>
Menu* MenuOf(const Loaded& loaded, MenuHandle handle) {
    for (const auto& entry : loaded)
        for (Menu* menu : entry.first->Menus())
            if (HandleOf(menu) == handle) return menu;
    return nullptr;
}

// GetMenu: the form's menu bar, 0 when it is not loaded or has no menu.
template <typename Loaded>
MenuHandle MenuBar(const Loaded& loaded, Form& form) {
    if (loaded.count(&form) == 0 || form.Menus().empty()) return 0;
    return HandleOf(&form);
}

// GetSubMenu: the menu at `position` of the bar, 0 for none.
template <typename Loaded>
MenuHandle SubMenu(const Loaded& loaded, MenuHandle bar, int position) {
    const Form* form = MenuBarOf(loaded, bar);
    if (form == nullptr || position < 0 ||
        static_cast<std::size_t>(position) >= form->Menus().size())
        return 0;
    return HandleOf(form->Menus()[static_cast<std::size_t>(position)]);
}

// GetMenuItemID: the command identifier at `position`, 0xFFFFFFFF for none.
template <typename Loaded>
uint32_t ItemId(const Loaded& loaded, MenuHandle menu, int position) {
    return MenuItemIdAt(MenuOf(loaded, menu), position);
}

// SetMenuItemBitmaps: the item (by command identifier in the bar's menus or
// the one menu given, or by position in that menu) shows `picture`; menus
// show one picture per item, ticked or not. False when there is no such item.
template <typename Loaded>
bool SetItemPicture(const Loaded& loaded, MenuHandle menu, uint32_t item, uint32_t flags,
                    int32_t picture) {
    std::vector<Menu*> searched;
    if (const Form* bar = MenuBarOf(loaded, menu))
        searched = bar->Menus();
    else if (Menu* one = MenuOf(loaded, menu))
        searched.push_back(one);
    else
        return false;
    MenuItem* target = FindMenuItemFor(searched, item, (flags & MF_BYPOSITION) != 0);
    if (target == nullptr) return false;
    target->SetPicture(picture);
    return true;
}

}  // namespace gimbalo::menu_handles
