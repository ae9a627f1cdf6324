// A notification-area icon as a StatusNotifierItem on the session bus, the
// way KDE Plasma, GNOME's AppIndicator extension and other Wayland panels
// take icons, with its menu exported beside it (dbus_menu.h). It registers
// with the StatusNotifierWatcher as soon as one is there, and again whenever
// one comes (a panel that starts late at login, or restarts).
//
// It says it is a menu (ItemIsMenu), so a panel opens the exported menu on a
// left click as on a right one. A panel that asks the icon instead (Activate
// for the left button, ContextMenu for the right) reaches the program as the
// release of that button over the icon, which opens the same menu; the
// middle button and the wheel are passed on as nothing the program acts on.
#pragma once

#include <QDBusConnection>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QDBusServiceWatcher;

namespace gimbalo {

class DBusMenu;
class Menu;
class MenuItem;
class PictureStore;

class StatusNotifierItem {
public:
    // Whether a StatusNotifierWatcher with a host (a panel that shows such
    // icons) is on the session bus now.
    static bool HostPresent();

    struct Events {
        // The button release over the icon: WM_LBUTTONUP, WM_RBUTTONUP or
        // the middle button's.
        std::function<void(int32_t message)> click;
        // An entry of the exported menu was activated.
        std::function<void(MenuItem& item)> choose;
    };

    // Puts the icon, with its tooltip and `menu` (none when null), on a
    // session-bus connection of its own. `menu` and `pictures` must outlive
    // it. Nothing is shown while there is no session bus.
    StatusNotifierItem(const QIcon& icon, const QString& tip, Menu* menu, PictureStore& pictures,
                       Events events);
    // Takes the icon and its menu off the bus.
    ~StatusNotifierItem();
    StatusNotifierItem(const StatusNotifierItem&) = delete;
    StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

private:
    class Item;
    void Register();

    QString connectionName_;
    QDBusConnection connection_;
    QString service_;
    // Deleted later, not at once: the program may take the icon away from
    // inside the handling of a click on it or of its menu.
    Item* item_ = nullptr;
    DBusMenu* menu_ = nullptr;
    std::unique_ptr<QDBusServiceWatcher> watcher_;
};

}  // namespace gimbalo
