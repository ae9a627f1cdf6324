// The notification-area icon and starting programs.
#include "platform/linux/desktop_open.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/picture_store.h"
#include "platform/linux/tray_icons.h"

namespace gimbalo {

bool LinuxPlatform::Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) {
    if (!application_) return false;
    if (!tray_) tray_ = std::make_unique<TrayIcons>(*this, Pictures());
    switch (message) {
        case NIM_ADD:
            return tray_->Add(data);
        case NIM_DELETE:
            return tray_->Delete(data);
        default:
            // The icon's picture and tip never change while the program runs.
            return false;
    }
}

// The show style asks Windows to open the program's window maximised or
// normal; X11 has no such request for another program, whose window manager
// decides, so the style has no meaning here.
bool LinuxPlatform::StartProgram(const std::string& commandLine, int) {
    if (!application_) return false;
    const ProgramCall call = SplitCommandLine(commandLine);
    if (IsExplorer(call.program)) return OpenWithDesktop(call.argument);
    return StartDetached(call);
}

}  // namespace gimbalo
