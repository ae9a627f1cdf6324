// What tells of the joysticks' input, for two savings over plain polling:
// a read asks SDL for news only when there may be some (each SDL update looks
// for joysticks coming and going, two system calls, and reads every open
// joystick; with the stick held still, as when it steers the pointer across
// the screen, nothing changes from tick to tick), and while the stick rests
// the program waits for the joystick instead of polling it.
//
// A joystick's input is told of by the device node SDL reads it from, opened
// a second time for watching and kept open for as long as the same joystick
// holds the number; or by what a replay puts in its place (TakeInputFrom).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/platform.h"

namespace gimbalo {

class JoystickWatch;
class SdlJoysticks;

class JoystickNews {
public:
    // What tells of joystick `device`'s input: nothing there (Absent: only
    // an arrival can change what it reads), a descriptor that becomes
    // readable at each report, kept open by its giver (Node), or nothing
    // that can be watched (Unwatchable: the program keeps polling).
    // A Node that reports every change of what SDL reads from the joystick
    // (evdev, joydev) lets a read skip SDL's update while it and the arrival
    // sources stay quiet; a hidraw node does not (SDL's drivers for those
    // pads also act on time, with nothing on the node).
    struct Input {
        enum class Kind { Absent, Unwatchable, Node } kind = Kind::Unwatchable;
        int fd = -1;
        bool reportsEveryChange = false;
    };
    using InputFinder = std::function<Input(int device)>;

    // `joysticks` must outlive this.
    explicit JoystickNews(SdlJoysticks& joysticks);
    ~JoystickNews();
    JoystickNews(const JoystickNews&) = delete;
    JoystickNews& operator=(const JoystickNews&) = delete;

    // Reads `device` as SdlJoysticks::GetPos does, without SDL's update when
    // nothing can have changed since the last read.
    uint32_t Read(int device, JOYINFOEX& info);
    // As Platform::WatchJoystick and StopWatchingJoystick.
    bool Watch(int device, std::function<void()> wake);
    void StopWatching();

    // From now on `find` tells what reports each device's input, in place of
    // the joysticks' own nodes (the replay's scripted joystick reports through
    // a pipe).
    void TakeInputFrom(InputFinder find) { find_ = std::move(find); }
    // Before a descriptor handed out by `find` is closed.
    void ForgetInput(int fd);

private:
    Input InputOf(int device);
    // The node SDL reads `device` from, opened once per joystick.
    Input NodeInput(int device);
    void CloseWatchedNode();
    // Whether joystick `device` can have nothing new for SDL since its last
    // read, which then needs no update.
    bool NothingNewFrom(int device);
    JoystickWatch& Watcher();

    SdlJoysticks& joysticks_;
    InputFinder find_;
    // Made at first use: the watch, and the device node opened for it, which
    // stays open for as long as the same joystick holds the number watched.
    std::unique_ptr<JoystickWatch> watch_;
    int32_t watchedInstance_ = -1;
    int watchedNode_ = -1;
    bool watchedNodeReportsAll_ = false;
    // The device, its joystick and node, whose sources the last read emptied
    // just before SDL's update; -1 when the next read has nothing to go by.
    int quietDevice_ = -1;
    int32_t quietInstance_ = -1;
    int quietNode_ = -1;
};

}  // namespace gimbalo
