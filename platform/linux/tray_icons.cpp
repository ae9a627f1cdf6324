#include "platform/linux/tray_icons.h"

#include <QApplication>
#include <QStyle>
#include <QSystemTrayIcon>
#include <utility>

#include "platform/forms.h"
#include "platform/linux/persistent_tray_icon.h"
#include "platform/linux/picture_store.h"
#include "platform/linux/qt_text.h"

namespace gimbalo {

TrayIcons::TrayIcons(Platform& platform, PictureStore& pictures)
    : TrayIconBook([&platform] { return platform.TwipsPerPixelX(); }),
      pictures_(pictures),
      clicks_([this](uint32_t serial, int32_t message) { Deliver(serial, message); }) {}

TrayIcons::~TrayIcons() {
    // The Qt icons go later, with the platform's last deferred deletes.
    HideAll();
}

bool TrayIcons::Show(uint32_t serial, const NOTIFYICONDATA& data) {
    QIcon picture = pictures_.Icon(PictureOf(data));
    if (picture.isNull()) picture = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    auto icon = std::make_unique<PersistentTrayIcon>(picture, QtText(TipOf(data)));
    QObject::connect(&icon->Native(), &QSystemTrayIcon::activated, &clicks_,
                     [this, serial](QSystemTrayIcon::ActivationReason reason) {
                         clicks_.Activated(serial, reason);
                     });
    shown_[serial] = std::move(icon);
    return true;
}

void TrayIcons::Hide(uint32_t serial) {
    clicks_.Forget(serial);
    shown_.erase(serial);
}

}  // namespace gimbalo
