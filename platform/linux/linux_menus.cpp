// The popup menu of a form, built from its model each time it is shown, so
// it always shows the captions and pictures of the moment.
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

MenuItem* LinuxPlatform::ChooseFromPopup(Menu& menu) {
    if (!application_) return nullptr;
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
    return chosen != nullptr ? menu.Find(chosen->objectName().toStdString()) : nullptr;
}

}  // namespace gimbalo
