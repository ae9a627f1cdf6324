// The program's notification-area icons on the Linux desktop, whose
// activations reach the program as the shell's mouse messages. On a Wayland
// session, or where a panel takes StatusNotifierItems, an icon is one, with
// its window's popup menu exported beside it (status_notifier_item.h);
// elsewhere it is Qt's icon, kept shown while an X11 notification area exists.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "platform/common/tray_icon_book.h"
#include "platform/linux/xembed_clicks.h"

namespace gimbalo {

class PictureStore;
class PersistentTrayIcon;
class StatusNotifierItem;

class TrayIcons : public TrayIconBook {
public:
    TrayIcons(Platform& platform, PictureStore& pictures);
    // Takes every icon off the desktop.
    ~TrayIcons() override;

private:
    bool Show(uint32_t serial, const NOTIFYICONDATA& data) override;
    void Hide(uint32_t serial) override;

    // The button release `message` on icon `serial`, handed on later: the
    // program may open its menu, or take the icon away, and must not do so
    // inside the icon's own mouse handling.
    void Click(uint32_t serial, int32_t message);

    struct Shown {
        std::unique_ptr<PersistentTrayIcon> icon;  // or, on the session bus:
        std::unique_ptr<StatusNotifierItem> item;
    };

    Platform& platform_;
    PictureStore& pictures_;
    std::map<uint32_t, Shown> shown_;
    // Clicks as the program takes them; queued ones go with the icons.
    XEmbedClicks clicks_;
};

}  // namespace gimbalo
