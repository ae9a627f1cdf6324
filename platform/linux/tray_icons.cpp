#include "platform/linux/tray_icons.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/forms.h"
#include "platform/linux/picture_store.h"
#include "platform/linux/qt_text.h"
#include "platform/linux/status_notifier_item.h"
#include "platform/linux/tray_icon.h"

namespace gimbalo {

namespace {

// The middle button's release over an icon; the program ignores it.
constexpr int32_t WM_MBUTTONUP = 520;

// The button release the program sees for each way of activating the icon.
// The desktop reports a press; the program acts on the release that follows.
int32_t MouseMessage(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return WM_LBUTTONUP;
        case QSystemTrayIcon::Context:
            return WM_RBUTTONUP;
        case QSystemTrayIcon::DoubleClick:
            return WM_LBUTTONDBLCLK;
        case QSystemTrayIcon::MiddleClick:
            return WM_MBUTTONUP;
        case QSystemTrayIcon::Unknown:
            break;
    }
    return 0;
}

// Wayland has no notification area of its own: its panels take icons over
// D-Bus, as some X11 panels do too.
bool OnTheSessionBus() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ||
           StatusNotifierItem::HostPresent();
}

}  // namespace

TrayIcons::TrayIcons(Platform& platform, PictureStore& pictures)
    : platform_(platform), pictures_(pictures) {}

TrayIcons::~TrayIcons() {
    // The Qt icons go later, with the platform's last deferred deletes.
    icons_.clear();
}

bool TrayIcons::Add(const NOTIFYICONDATA& data) {
    if (data.cbSize == 0 || data.hWnd == nullptr) return false;
    const Key key{data.hWnd, data.uID};
    if (icons_.count(key) > 0) return false;

    QIcon picture;
    if (data.uFlags & NIF_ICON) picture = pictures_.Icon(data.hIcon);
    // An icon must show something: without it the menu, and with it the
    // way out of the program, could not be reached.
    if (picture.isNull()) picture = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    const QString tip = (data.uFlags & NIF_TIP) ? QtFieldText(data.szTip) : QString();

    Entry entry;
    entry.serial = nextSerial_++;
    // The window hears of the icon only through its mouse-move handler.
    entry.callback = (data.uFlags & NIF_MESSAGE) && data.uCallbackMessage == WM_MOUSEMOVE;
    // Queued: the program may open its menu, or take the icon away, and
    // must not do so inside the icon's own mouse handling.
    std::function<void(int32_t)> click;
    if (entry.callback)
        click = [this, window = data.hWnd, id = data.uID, serial = entry.serial](int32_t message) {
            QTimer::singleShot(0, &clicks_, [this, window, id, serial, message] {
                Deliver(window, id, serial, message);
            });
        };
    if (OnTheSessionBus()) {
        Menu* menu = data.hWnd->Menus().empty() ? nullptr : data.hWnd->Menus().front();
        entry.item = std::make_unique<StatusNotifierItem>(
            picture, tip, menu, pictures_,
            StatusNotifierItem::Events{click, [this](MenuItem& item) {
                                           if (!platform_.ProgramEnded()) item.UserChoose();
                                       }});
    } else {
        entry.icon = std::make_unique<TrayIcon>(picture, tip);
        if (click)
            QObject::connect(&entry.icon->Native(), &QSystemTrayIcon::activated, &clicks_,
                             [click](QSystemTrayIcon::ActivationReason reason) {
                                 if (const int32_t message = MouseMessage(reason)) click(message);
                             });
    }
    icons_.emplace(key, std::move(entry));
    return true;
}

bool TrayIcons::Delete(const NOTIFYICONDATA& data) {
    if (data.cbSize == 0 || data.hWnd == nullptr) return false;
    return icons_.erase(Key{data.hWnd, data.uID}) > 0;
}

void TrayIcons::ForgetWindow(const Form& window) {
    std::erase_if(icons_, [&window](const auto& item) { return item.first.first == &window; });
}

void TrayIcons::Deliver(Form* window, uint32_t id, uint64_t serial, int32_t message) {
    const auto found = icons_.find(Key{window, id});
    if (found == icons_.end() || found->second.serial != serial || !window->MouseMove) return;
    // The message stands where x does, in twips, as the shell's callback
    // puts it; the window divides it back out.
    const auto x = static_cast<float>(message) * static_cast<float>(platform_.TwipsPerPixelX());
    window->MouseMove(0, 0, x, 0.0f);
}

}  // namespace gimbalo
