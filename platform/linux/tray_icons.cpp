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
      pictures_(pictures) {}

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
                         if (const int32_t message = MouseMessage(reason)) Click(serial, message);
                     });
    return true;
}

void TrayIcons::Click(uint32_t serial, int32_t message) {
    QTimer::singleShot(0, &clicks_, [this, serial, message] { Deliver(serial, message); });
}

void TrayIcons::Hide(uint32_t serial) {
    shown_.erase(serial);
}

}  // namespace gimbalo
