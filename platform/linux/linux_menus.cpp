// The popup menu and its pictures. They come with the tray and forms work;
// until then no form has a menu and no picture loads.
#include "platform/linux/linux_platform.h"
#include "platform/linux/picture_store.h"

namespace gimbalo {

MenuHandle LinuxPlatform::GetMenu(Form&) {
    return 0;
}

MenuHandle LinuxPlatform::GetSubMenu(MenuHandle, int) {
    return 0;
}

uint32_t LinuxPlatform::GetMenuItemID(MenuHandle, int) {
    return 0xFFFFFFFFu;
}

bool LinuxPlatform::SetMenuItemBitmaps(MenuHandle, uint32_t, uint32_t, int32_t, int32_t) {
    return false;
}

void LinuxPlatform::ShowPopupMenu(Form&) {}

int32_t LinuxPlatform::LoadPicture(const std::string& fileName) {
    return Pictures().Load(fileName);
}

}  // namespace gimbalo
