// The open and save dialogs. They come with the forms work; until then both
// report a cancel.
#include "platform/linux/linux_platform.h"

namespace gimbalo {

bool LinuxPlatform::GetOpenFileNameA(OPENFILENAME&) {
    return false;
}

bool LinuxPlatform::GetSaveFileNameA(OPENFILENAME&) {
    return false;
}

}  // namespace gimbalo
