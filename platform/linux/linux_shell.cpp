// The notification-area icon and starting programs. They come with the tray
// and forms work; until then both fail.
#include "platform/linux/linux_platform.h"

namespace gimbalo {

bool LinuxPlatform::Shell_NotifyIconA(uint32_t, const NOTIFYICONDATA&) {
    return false;
}

bool LinuxPlatform::StartProgram(const std::string&, int) {
    return false;
}

}  // namespace gimbalo
