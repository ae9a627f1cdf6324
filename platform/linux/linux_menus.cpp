// The popup menu of a form and its pictures. A menu bar's handle is its
// form's address and a menu's handle its own; a handle counts only while its
// form is loaded, so a stale or made-up one finds nothing.
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include "platform/forms.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/picture_store.h"
#include "platform/linux/qt_text.h"

namespace gimbalo {

namespace {

MenuHandle HandleOf(const void* address) {
    return reinterpret_cast<MenuHandle>(address);
}

// The loaded form whose menu bar `handle` is, or nullptr.
template <typename Hosts>
Form* MenuBarOf(const Hosts& hosts, MenuHandle handle) {
    for (const auto& [form, host] : hosts)
        if (HandleOf(form) == handle && !form->Menus().empty()) return form;
    return nullptr;
}

// The menu of a loaded form that `handle` is, or nullptr.
template <typename Hosts>
Menu* MenuOf(const Hosts& hosts, MenuHandle handle) {
    for (const auto& [form, host] : hosts)
        for (Menu* menu : form->Menus())
            if (HandleOf(menu) == handle) return menu;
    return nullptr;
}

}  // namespace

MenuHandle LinuxPlatform::GetMenu(Form& form) {
    if (hosts_.count(&form) == 0 || form.Menus().empty()) return 0;
    return HandleOf(&form);
}

MenuHandle LinuxPlatform::GetSubMenu(MenuHandle menu, int position) {
    const Form* bar = MenuBarOf(hosts_, menu);
    if (bar == nullptr || position < 0 || static_cast<std::size_t>(position) >= bar->Menus().size())
        return 0;
    return HandleOf(bar->Menus()[static_cast<std::size_t>(position)]);
}

uint32_t LinuxPlatform::GetMenuItemID(MenuHandle menu, int position) {
    return MenuItemIdAt(MenuOf(hosts_, menu), position);
}

bool LinuxPlatform::SetMenuItemBitmaps(MenuHandle menu, uint32_t item, uint32_t flags,
                                       int32_t uncheckedPicture, int32_t) {
    // The item is looked for in the bar's menus, or in the one menu given.
    std::vector<Menu*> searched;
    if (const Form* bar = MenuBarOf(hosts_, menu))
        searched = bar->Menus();
    else if (Menu* one = MenuOf(hosts_, menu))
        searched.push_back(one);
    else
        return false;
    MenuItem* target = FindMenuItemFor(searched, item, (flags & MF_BYPOSITION) != 0);
    if (target == nullptr) return false;
    // Menus show one picture per item, ticked or not.
    target->SetPicture(uncheckedPicture);
    return true;
}

void LinuxPlatform::ShowPopupMenu(Form& form) {
    if (!application_ || ended_ || form.Menus().empty()) return;
    Menu& menu = *form.Menus().front();
    QMenu popup;
    popup.setObjectName(QtText(menu.Name()));
    for (const MenuItem* item : menu.Items()) {
        QAction* action =
            item->IsSeparator() ? popup.addSeparator() : popup.addAction(QtText(item->Caption()));
        action->setObjectName(QtText(item->Name()));
        if (item->IsSeparator()) continue;
        // The ampersand marks the access key, as Qt's menus read it too.
        const QPixmap picture = Pictures().Pixmap(item->PictureHandle());
        if (!picture.isNull()) action->setIcon(QIcon(picture));
        action->setEnabled(item->Enabled());
    }
    // The popup grabs the pointer and the keyboard, so it takes keys and
    // closes on a click elsewhere although none of the program's windows is
    // active.
    const QAction* chosen = popup.exec(QCursor::pos());
    // The program may have ended while the menu was open.
    if (chosen == nullptr || ended_) return;
    const std::string name = chosen->objectName().toStdString();
    if (MenuItem* item = menu.Find(name)) item->UserChoose();
}

int32_t LinuxPlatform::LoadPicture(const std::string& fileName) {
    return Pictures().Load(fileName);
}

}  // namespace gimbalo
