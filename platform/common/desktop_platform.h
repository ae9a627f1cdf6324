// What every desktop backend does the same, between the seam and its own
// calls: a host for each loaded form, the menu calls on the loaded forms'
// menus, the popup menu's choice, the notification-area icons' book and what
// a close asked for by the desktop does. A backend supplies the hosts, the
// icons and the popup menu of its desktop.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/common/form_host.h"
#include "platform/common/tray_icon_book.h"
#include "platform/platform.h"

namespace gimbalo {

class DesktopPlatform : public Platform {
public:
    ~DesktopPlatform() override;

    // -- forms --
    void LoadForm(Form& form) override;
    // A form that goes hears no more clicks on its tray icons.
    void UnloadForm(Form& form) override;

    // -- menus: a menu bar's handle is its form's address and a menu's
    // handle its own; a handle counts only while its form is loaded --
    MenuHandle GetMenu(Form& form) override;
    MenuHandle GetSubMenu(MenuHandle menu, int position) override;
    uint32_t GetMenuItemID(MenuHandle menu, int position) override;
    // Menus show one picture per item, ticked or not: the unticked one.
    bool SetMenuItemBitmaps(MenuHandle menu, uint32_t item, uint32_t flags,
                            int32_t uncheckedPicture, int32_t checkedPicture) override;
    void ShowPopupMenu(Form& form) override;

    // -- shell --
    bool Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) override;

protected:
    DesktopPlatform() = default;

    // The backend's host of `form`, which is being loaded; nullptr while the
    // desktop is not up.
    virtual std::unique_ptr<FormHost> MakeHost(Form& form) = 0;
    // The backend's notification-area icons, made when the program first
    // asks for one; nullptr while the desktop is not up.
    virtual std::unique_ptr<TrayIconBook> MakeTray() = 0;
    // Shows `menu` at the pointer and returns when it closes: the item the
    // user chose, nullptr for none (or while the desktop is not up).
    virtual MenuItem* ChooseFromPopup(Menu& menu) = 0;

    // The host of a loaded form, nullptr for a form not loaded.
    FormHost* HostOf(const Form& form) const;
    // The loaded forms, in an order that stays while none loads or unloads.
    std::vector<Form*> LoadedForms() const;
    // Unloads every form and takes the tray icons off the desktop: a backend
    // calls it first thing in its destructor, while what the hosts and the
    // icons stand on is still there.
    void CloseDesktop();
    // What a close asked for by the desktop (a session's end, a termination
    // signal) does: `closeMainWindow` runs, as the exit command closes, or
    // without one the program ends; nothing once the program has ended.
    void CloseRequested(const std::function<void()>& closeMainWindow);

private:
    std::map<Form*, std::unique_ptr<FormHost>> hosts_;
    std::unique_ptr<TrayIconBook> tray_;
};

}  // namespace gimbalo
