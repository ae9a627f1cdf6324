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
#include "platform/menu_handles.h"

namespace gimbalo {

MenuHandle LinuxPlatform::GetMenu(Form& form) {
    return menu_handles::MenuBar(hosts_, form);
}

MenuHandle LinuxPlatform::GetSubMenu(MenuHandle menu, int position) {
    return menu_handles::SubMenu(hosts_, menu, position);
}

uint32_t LinuxPlatform::GetMenuItemID(MenuHandle menu, int position) {
    return menu_handles::ItemId(hosts_, menu, position);
}

bool LinuxPlatform::SetMenuItemBitmaps(MenuHandle menu, uint32_t item, uint32_t flags,
                                       int32_t uncheckedPicture, int32_t) {
    return menu_handles::SetItemPicture(hosts_, menu, item, flags, uncheckedPicture);
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
