// The program's notification-area icons on the Linux desktop: Qt's icons,
// each kept shown while a notification area exists, whose activations reach
// the program as the shell's mouse messages.
#pragma once

#include <QObject>
#include <cstdint>
#include <map>
#include <memory>

#include "platform/common/tray_icon_book.h"

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
    // Context of queued clicks: they go with the icons.
    QObject clicks_;
};

}  // namespace gimbalo
