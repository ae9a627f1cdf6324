// The models of a form's popup menu and its items.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/design.h"

namespace gimbalo {

class Form;
class MenuItem;

// A form's popup menu (the top-level menu of its menu bar, never shown as a
// bar). Items are declared in order; their command identifiers are given by
// the form, unique within it.
class Menu {
public:
    Menu(Form& form, std::string name, std::string caption);
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    Form& Owner() const { return form_; }
    const std::vector<MenuItem*>& Items() const { return items_; }
    MenuItem* Find(const std::string& name) const;
    MenuItem* FindById(uint32_t commandId) const;

private:
    friend class MenuItem;
    Form& form_;
    std::string name_;
    std::string caption_;
    std::vector<MenuItem*> items_;
};

// An item of a popup menu. A caption of "-" makes it a separator. An
// ampersand in the caption marks the next letter as the access key.
class MenuItem {
public:
    MenuItem(Menu& menu, std::string name, std::string caption);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& Name() const { return name_; }
    Menu& Parent() const { return menu_; }
    int Position() const { return position_; }
    uint32_t CommandId() const { return commandId_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool IsSeparator() const { return caption_ == "-"; }
    // Picture shown beside the item (a picture handle), 0 for none.
    int32_t PictureHandle() const { return picture_; }
    void SetPicture(int32_t handle);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The user chooses the item from the shown menu: Click runs unless the
    // item is a separator or disabled. True when it ran.
    bool UserChoose();

    std::function<void()> Click;

private:
    void Notify(Property what);

    Menu& menu_;
    std::string name_;
    std::string caption_;
    int position_;
    uint32_t commandId_;
    int32_t picture_ = 0;
    bool enabled_ = true;
};

// The item a menu call names: by its position in the one menu searched, or
// (by command) by its identifier in any of them. nullptr when none is.
MenuItem* FindMenuItemFor(const std::vector<Menu*>& searched, uint32_t item, bool byPosition);

// The command identifier of the item at `position` of `menu`, 0xFFFFFFFF
// when there is no such item (or no menu).
uint32_t MenuItemIdAt(const Menu* menu, int position);

}  // namespace gimbalo
