// The program's notification-area icons on the Linux desktop: Qt's icons,
// each kept shown while a notification area exists, whose activations reach
// the program as the shell's mouse messages.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "platform/common/tray_icon_book.h"
#include "platform/linux/xembed_clicks.h"

namespace gimbalo {

class PictureStore;
class PersistentTrayIcon;

class TrayIcons : public TrayIconBook {
public:
    TrayIcons(Platform& platform, PictureStore& pictures);
    // Takes every icon off the desktop.
    ~TrayIcons() override;

private:
    bool Show(uint32_t serial, const NOTIFYICONDATA& data) override;
    void Hide(uint32_t serial) override;

    PictureStore& pictures_;
    std::map<uint32_t, std::unique_ptr<PersistentTrayIcon>> shown_;
    // Clicks as the program takes them; queued ones go with the icons.
    XEmbedClicks clicks_;
};

}  // namespace gimbalo
