// The program's notification-area icons, as the shell keeps them: each is
// known by its window and identifier, and mouse activity on it reaches that
// window's mouse-move handler with the mouse message in place of x. On a
// Wayland session, or where a panel takes StatusNotifierItems, an icon is
// one, with the window's popup menu exported beside it
// (status_notifier_item.h); elsewhere it docks in the X11 notification area.
#pragma once

#include <QObject>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "platform/platform.h"

namespace gimbalo {

class Form;
class PictureStore;
class StatusNotifierItem;
class TrayIcon;

class TrayIcons {
public:
    TrayIcons(Platform& platform, PictureStore& pictures);
    // Takes every icon off the desktop.
    ~TrayIcons();
    TrayIcons(const TrayIcons&) = delete;
    TrayIcons& operator=(const TrayIcons&) = delete;

    // NIM_ADD: false for a record without size or window, or for a window
    // and identifier that already have an icon.
    bool Add(const NOTIFYICONDATA& data);
    // NIM_DELETE: false for a record without size or window, or when the
    // window and identifier have no icon.
    bool Delete(const NOTIFYICONDATA& data);
    // Drops the icons of a window that goes away, so no click reaches it.
    void ForgetWindow(const Form& window);

    // Delivers `message` to the window of icon (`window`, `id`), unless that
    // icon has gone (or been replaced: `serial` tells them apart) meanwhile.
    void Deliver(Form* window, uint32_t id, uint64_t serial, int32_t message);

private:
    using Key = std::pair<const Form*, uint32_t>;
    struct Entry {
        std::unique_ptr<TrayIcon> icon;  // or, on the session bus:
        std::unique_ptr<StatusNotifierItem> item;
        uint64_t serial = 0;
        bool callback = false;  // NIF_MESSAGE with the mouse-move message
    };

    Platform& platform_;
    PictureStore& pictures_;
    std::map<Key, Entry> icons_;
    uint64_t nextSerial_ = 1;
    // Context of queued clicks: they go with the icons.
    QObject clicks_;
};

}  // namespace gimbalo
