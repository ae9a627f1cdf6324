// The notification-area icon and starting programs.
#include "platform/linux/desktop_open.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/tray_icons.h"

namespace gimbalo {

std::unique_ptr<TrayIconBook> LinuxPlatform::MakeTray() {
    if (!application_) return nullptr;
    return std::make_unique<TrayIcons>(*this, Pictures());
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
