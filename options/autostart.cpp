#include "options/autostart.h"

#include "core/maker.h"

namespace gimbalo {

void SyncAutostart(Platform& platform, int16_t flag) {
    if (flag == 1)
        platform.WriteAutostart(kProductName, platform.ExecutablePath());
    else
        platform.DeleteAutostart(kProductName);
}

}  // namespace gimbalo
