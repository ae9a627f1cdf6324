// The picture store of the platform: made on first use, once Qt is up and the
// program folder is known.
#include "platform/linux/linux_platform.h"
#include "platform/linux/picture_store.h"

namespace gimbalo {

PictureStore& LinuxPlatform::Pictures() {
    if (!pictures_) pictures_ = std::make_unique<PictureStore>(ProgramFolder() + "/pictures");
    return *pictures_;
}

}  // namespace gimbalo
