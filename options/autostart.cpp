#include "options/autostart.h"

namespace gimbalo {

void SyncAutostart(Platform& platform, int16_t flag) {
    if (flag == 1)
        platform.WriteAutostart(kAutostartName, platform.ExecutablePath());
    else
        platform.DeleteAutostart(kAutostartName);
}

}  // namespace gimbalo
