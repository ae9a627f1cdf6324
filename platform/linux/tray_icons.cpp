#include "platform/linux/tray_icons.h"

#include <QApplication>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <utility>

#include "platform/forms.h"
#include "platform/linux/persistent_tray_icon.h"
#include "platform/linux/picture_store.h"
#include "platform/linux/qt_text.h"

namespace gimbalo {

namespace {

// The middle button's release over an icon; the program ignores it.
constexpr int32_t WM_MBUTTONUP = 520;

// The button release the program sees for each way of activating the icon.
// The desktop reports a press; the program acts on the release that follows.
int32_t MouseMessage(QSystemTrayIcon::ActivationReason reason) {
    constexpr std::pair<QSystemTrayIcon::ActivationReason, int32_t> kReleases[] = {
        {QSystemTrayIcon::Trigger, WM_LBUTTONUP},
        {QSystemTrayIcon::Context, WM_RBUTTONUP},
        {QSystemTrayIcon::DoubleClick, WM_LBUTTONDBLCLK},
        {QSystemTrayIcon::MiddleClick, WM_MBUTTONUP},
    };
    for (const auto& [activation, message] : kReleases)
        if (activation == reason) return message;
    return 0;  // a way the program does not know
}

}  // namespace

TrayIcons::TrayIcons(Platform& platform, PictureStore& pictures)
    : TrayIconBook([&platform] { return platform.TwipsPerPixelX(); }), pictures_(pictures) {}

TrayIcons::~TrayIcons() {
    // The Qt icons go later, with the platform's last deferred deletes.
    HideAll();
}

bool TrayIcons::Show(uint32_t serial, const NOTIFYICONDATA& data) {
    QIcon picture = pictures_.Icon(PictureOf(data));
    if (picture.isNull()) picture = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    auto icon = std::make_unique<PersistentTrayIcon>(picture, QtText(TipOf(data)));
    // Queued: the program may open its menu, or take the icon away, and must
    // not do so inside the icon's own mouse handling.
    QObject::connect(&icon->Native(), &QSystemTrayIcon::activated, &clicks_,
                     [this, serial](QSystemTrayIcon::ActivationReason reason) {
                         const int32_t message = MouseMessage(reason);
                         if (message == 0) return;
                         QTimer::singleShot(0, &clicks_,
                                            [this, serial, message] { Deliver(serial, message); });
                     });
    shown_[serial] = std::move(icon);
    return true;
}

void TrayIcons::Hide(uint32_t serial) {
    shown_.erase(serial);
}

}  // namespace gimbalo
