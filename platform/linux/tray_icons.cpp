#include "platform/linux/tray_icons.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <utility>

#include "platform/forms.h"
#include "platform/linux/persistent_tray_icon.h"
#include "platform/linux/picture_store.h"
#include "platform/linux/qt_text.h"
#include "platform/linux/status_notifier_item.h"

namespace gimbalo {

namespace {

// Wayland has no notification area of its own: its panels take icons over
// D-Bus, as some X11 panels do too.
bool OnTheSessionBus() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ||
           StatusNotifierItem::HostPresent();
}

}  // namespace

TrayIcons::TrayIcons(Platform& platform, PictureStore& pictures)
    : TrayIconBook([&platform] { return platform.TwipsPerPixelX(); }),
      platform_(platform),
      pictures_(pictures),
      clicks_([this](uint32_t serial, int32_t message) { Deliver(serial, message); }) {}

TrayIcons::~TrayIcons() {
    // The Qt icons go later, with the platform's last deferred deletes.
    HideAll();
}

bool TrayIcons::Show(uint32_t serial, const NOTIFYICONDATA& data) {
    QIcon picture = pictures_.Icon(PictureOf(data));
    if (picture.isNull()) picture = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    const QString tip = QtText(TipOf(data));
    Shown& shown = shown_[serial];
    if (OnTheSessionBus()) {
        Menu* menu = data.hWnd->Menus().empty() ? nullptr : data.hWnd->Menus().front();
        const auto choose = [this](MenuItem& item) {
            if (!platform_.ProgramEnded()) item.UserChoose();
        };
        shown.item = std::make_unique<StatusNotifierItem>(
            picture, tip, menu, pictures_,
            StatusNotifierItem::Events{[this, serial](int32_t message) { Click(serial, message); },
                                       choose});
        return true;
    }
    shown.icon = std::make_unique<PersistentTrayIcon>(picture, tip);
    QObject::connect(&shown.icon->Native(), &QSystemTrayIcon::activated, &clicks_,
                     [this, serial](QSystemTrayIcon::ActivationReason reason) {
                         clicks_.Activated(serial, reason);
                     });
    return true;
}

void TrayIcons::Click(uint32_t serial, int32_t message) {
    QTimer::singleShot(0, &clicks_, [this, serial, message] { Deliver(serial, message); });
}

void TrayIcons::Hide(uint32_t serial) {
    clicks_.Forget(serial);
    shown_.erase(serial);
}

}  // namespace gimbalo
