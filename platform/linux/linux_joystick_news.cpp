// Reading the joysticks: SDL is asked for news only when there may be some.
// Each SDL update looks for joysticks coming and going (two system calls)
// and reads every open joystick; with the stick held still, as when it
// steers the pointer across the screen, nothing changes from tick to tick.
#include <utility>

#include "platform/linux/joystick_watch.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/sdl_joysticks.h"

namespace gimbalo {

uint32_t LinuxPlatform::joyGetPosEx(int device, JOYINFOEX& info) {
    if (!joysticks_) return JOYERR_PARMS;
    if (NothingNewFrom(device)) return joysticks_->GetPosAsLastUpdated(device, info);
    return joysticks_->GetPos(device, info);
}

bool LinuxPlatform::NothingNewFrom(int device) {
    // The sources are emptied before SDL's update, so whatever comes after
    // that is still there for the next read to find: nothing is lost, at
    // worst looked at twice.
    const int lastDevice = std::exchange(quietDevice_, -1);
    const int32_t lastInstance = quietInstance_;
    const int lastNode = quietNode_;
    if (ended_) return false;
    // While armed, the watch's own notifiers empty the sources.
    if (watch_ && watch_->Armed()) return false;
    if (!watch_) watch_ = std::make_unique<JoystickWatch>();
    if (!watch_->SeesArrivals()) return false;
    // A node opened for a joystick that came since has missed what it
    // reported before the node was opened: the first read through it updates.
    const int32_t instance = joysticks_->InstanceOf(device);
    const JoystickInput input = InputToWatch(device);
    if (input.kind != JoystickInput::Kind::Node || !input.reportsEveryChange) return false;
    const bool quiet = watch_->Quiet(input.fd);
    quietDevice_ = device;
    quietInstance_ = instance;
    quietNode_ = input.fd;
    return quiet && lastDevice == device && lastInstance == instance && lastNode == input.fd;
}

}  // namespace gimbalo
