// The notification-area icon: the one record the shell is handed, and the two
// procedures that add the icon and take it away again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace gimbalo {

class Form;

// Size of the shell's first, 88-byte form of the record (64-character tip).
constexpr uint32_t kNotifyIconDataSize = 88;
// The tip field holds 64 characters, the last of them the closing NUL.
constexpr std::size_t kTrayTipLength = 63;
// Every mouse event over the icon comes back as the window's mouse-move message.
constexpr uint32_t kTrayCallbackMessage = WM_MOUSEMOVE;

class SystemTray {
public:
    explicit SystemTray(Platform& platform) : platform_(platform) {}
    SystemTray(const SystemTray&) = delete;
    SystemTray& operator=(const SystemTray&) = delete;

    // Places the icon `icon` (a picture handle) under `id`; mouse activity on
    // it reaches `window` as mouse-move messages. The shell's answer is not
    // used: without an icon the program still runs.
    void AddTrayIcon(Form& window, int32_t id, int32_t icon, const std::string& tip);
    // Removes the icon `id` of the window of the last AddTrayIcon. Harmless
    // when there is no such icon, also before any AddTrayIcon.
    void RemoveTrayIcon(int32_t id);

private:
    Platform& platform_;
    NOTIFYICONDATA record_;  // zero-filled until the first AddTrayIcon
};

}  // namespace gimbalo
