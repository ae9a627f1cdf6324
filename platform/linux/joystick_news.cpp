#include "platform/linux/joystick_news.h"

#include <unistd.h>

#include <string>
#include <utility>

#include "platform/linux/joystick_watch.h"
#include "platform/linux/sdl_joysticks.h"

namespace gimbalo {

JoystickNews::JoystickNews(SdlJoysticks& joysticks) : joysticks_(joysticks) {}

JoystickNews::~JoystickNews() {
    StopWatching();
    CloseWatchedNode();
}

JoystickWatch& JoystickNews::Watcher() {
    if (!watch_) watch_ = std::make_unique<JoystickWatch>();
    return *watch_;
}

uint32_t JoystickNews::Read(int device, JOYINFOEX& info) {
    if (NothingNewFrom(device)) return joysticks_.GetPosAsLastUpdated(device, info);
    return joysticks_.GetPos(device, info);
}

bool JoystickNews::NothingNewFrom(int device) {
    // The sources are emptied before SDL's update, so whatever comes after
    // that is still there for the next read to find: nothing is lost, at
    // worst looked at twice.
    const int lastDevice = std::exchange(quietDevice_, -1);
    const int32_t lastInstance = quietInstance_;
    const int lastNode = quietNode_;
    // While armed, the watch's own notifiers empty the sources.
    if (watch_ && watch_->Armed()) return false;
    if (!Watcher().SeesArrivals()) return false;
    // A node opened for a joystick that came since has missed what it
    // reported before the node was opened: the first read through it updates.
    const int32_t instance = joysticks_.InstanceOf(device);
    const Input input = InputOf(device);
    if (input.kind != Input::Kind::Node || !input.reportsEveryChange) return false;
    const bool quiet = watch_->Quiet(input.fd);
    quietDevice_ = device;
    quietInstance_ = instance;
    quietNode_ = input.fd;
    return quiet && lastDevice == device && lastInstance == instance && lastNode == input.fd;
}

JoystickNews::Input JoystickNews::InputOf(int device) {
    return find_ ? find_(device) : NodeInput(device);
}

JoystickNews::Input JoystickNews::NodeInput(int device) {
    const int32_t instance = joysticks_.InstanceOf(device);
    if (instance < 0) return {Input::Kind::Absent, -1};
    if (instance != watchedInstance_) {
        CloseWatchedNode();
        watchedInstance_ = instance;
        // Tried once per joystick: a node of an unknown kind or one that may
        // not be opened stays so.
        const std::string path = joysticks_.NodeOf(device).path;
        watchedNode_ = path.empty() ? -1 : OpenJoystickNode(path);
        watchedNodeReportsAll_ = KindOfJoystickNode(path) != JoystickNodeKind::Hidraw;
    }
    if (watchedNode_ < 0) return {Input::Kind::Unwatchable, -1};
    return {Input::Kind::Node, watchedNode_, watchedNodeReportsAll_};
}

bool JoystickNews::Watch(int device, std::function<void()> wake) {
    // Arming empties the sources a read would look at.
    quietDevice_ = -1;
    JoystickWatch& watch = Watcher();
    // A node that ended belongs to a joystick on its way out: not again.
    if (watch.NodeEnded() && watch.Node() == watchedNode_) CloseWatchedNode();
    // A joystick arriving may change what the program reads, whichever
    // device it watches.
    if (!watch.SeesArrivals()) return false;
    const Input input = InputOf(device);
    switch (input.kind) {
        case Input::Kind::Unwatchable:
            return false;
        case Input::Kind::Absent:
            return watch.Arm(-1, std::move(wake));
        case Input::Kind::Node:
            if (watch.Arm(input.fd, std::move(wake))) return true;
            if (input.fd == watchedNode_) CloseWatchedNode();
            return false;
    }
    return false;
}

void JoystickNews::StopWatching() {
    // The watch may have emptied the sources since it was armed.
    quietDevice_ = -1;
    if (watch_) watch_->Disarm();
}

void JoystickNews::ForgetInput(int fd) {
    if (watch_ && fd >= 0 && watch_->Node() == fd) watch_->ForgetNode();
}

void JoystickNews::CloseWatchedNode() {
    quietDevice_ = -1;
    if (watchedNode_ < 0) return;
    if (watch_ && watch_->Node() == watchedNode_) watch_->ForgetNode();
    close(watchedNode_);
    watchedNode_ = -1;
}

}  // namespace gimbalo
