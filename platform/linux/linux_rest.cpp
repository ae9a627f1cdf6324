// Waiting for the joystick instead of polling it while the stick rests.
#include <time.h>
#include <unistd.h>

#include "platform/linux/joystick_watch.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/sdl_joysticks.h"

namespace gimbalo {

LinuxPlatform::JoystickInput LinuxPlatform::InputToWatch(int device) {
    const int32_t instance = joysticks_->InstanceOf(device);
    if (instance < 0) return {JoystickInput::Kind::Absent, -1};
    if (instance != watchedInstance_) {
        CloseWatchedNode();
        watchedInstance_ = instance;
        // Tried once per joystick: a node of an unknown kind or one that may
        // not be opened stays so.
        const std::string path = joysticks_->NodeOf(device).path;
        watchedNode_ = path.empty() ? -1 : OpenJoystickNode(path);
        watchedNodeReportsAll_ = KindOfJoystickNode(path) != JoystickNodeKind::Hidraw;
    }
    if (watchedNode_ < 0) return {JoystickInput::Kind::Unwatchable, -1};
    return {JoystickInput::Kind::Node, watchedNode_, watchedNodeReportsAll_};
}

bool LinuxPlatform::WatchJoystick(int device, std::function<void()> wake) {
    if (!joysticks_ || ended_) return false;
    // Arming empties the sources a read would look at.
    quietDevice_ = -1;
    if (!watch_) watch_ = std::make_unique<JoystickWatch>();
    // A node that ended belongs to a joystick on its way out: not again.
    if (watch_->NodeEnded() && watch_->Node() == watchedNode_) CloseWatchedNode();
    // A joystick arriving may change what the program reads, whichever
    // device it watches.
    if (!watch_->SeesArrivals()) return false;
    const JoystickInput input = InputToWatch(device);
    switch (input.kind) {
        case JoystickInput::Kind::Unwatchable:
            return false;
        case JoystickInput::Kind::Absent:
            return watch_->Arm(-1, std::move(wake));
        case JoystickInput::Kind::Node:
            if (watch_->Arm(input.fd, std::move(wake))) return true;
            if (input.fd == watchedNode_) CloseWatchedNode();
            return false;
    }
    return false;
}

void LinuxPlatform::StopWatchingJoystick() {
    // The watch may have emptied the sources since it was armed.
    quietDevice_ = -1;
    if (watch_) watch_->Disarm();
}

void LinuxPlatform::ForgetJoystickInput(int fd) {
    if (watch_ && fd >= 0 && watch_->Node() == fd) watch_->ForgetNode();
}

void LinuxPlatform::CloseWatchedNode() {
    quietDevice_ = -1;
    if (watchedNode_ < 0) return;
    if (watch_ && watch_->Node() == watchedNode_) watch_->ForgetNode();
    close(watchedNode_);
    watchedNode_ = -1;
}

uint32_t LinuxPlatform::GetTickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace gimbalo
