#include "core/polling_rest.h"

#include <algorithm>

namespace gimbalo {

PollingRest::PollingRest(Platform& platform, Timer& timer, PollingLoop& loop)
    : platform_(platform), timer_(timer), loop_(loop) {}

PollingRest::~PollingRest() {
    Stop();
}

void PollingRest::Tick() {
    // A desktop that ticks a stopped timer anyway: the tick is a wake.
    if (resting_) Wake();
    loop_.Timer1_Timer();
    if (!loop_.LastTickAtRest()) {
        restTicks_ = 0;
        needed_ = kRestTicks;
        return;
    }
    restTicks_ = std::min(restTicks_ + 1, kLongestRestWait);
    if (restTicks_ < needed_ || stopped_) return;
    // The device the tick read: the joystick in use, or device 0 while no
    // joystick answers to its number; a joystick coming wakes the program
    // too, so one taking that number is read at the next tick. Cannot watch:
    // keep polling, and ask again next tick (a joystick that can be watched
    // may have taken the number by then).
    if (!platform_.WatchJoystick(loop_.LastRead().device, [this] { Wake(); })) return;
    // Input that came between the tick's read and the start of the watch
    // wakes nobody; one more read sees it.
    if (!StillAtRest()) {
        platform_.StopWatchingJoystick();
        return;
    }
    resting_ = true;
    sleptAt_ = platform_.GetTickCount();
    timer_.SetEnabled(false);
}

bool PollingRest::StillAtRest() {
    // The same device answering as the tick found it, and still at rest.
    JOYINFOEX info;
    const JoystickRead read = loop_.ReadJoystick(info);
    const JoystickRead last = loop_.LastRead();
    return read.device == last.device &&
           (read.result == JOYERR_NOERROR) == (last.result == JOYERR_NOERROR) &&
           ReadingAtRest(read.result, info);
}

void PollingRest::Wake() {
    if (!resting_) return;
    resting_ = false;
    platform_.StopWatchingJoystick();
    const uint32_t slept = platform_.GetTickCount() - sleptAt_;
    const auto waited = static_cast<uint32_t>(needed_) * static_cast<uint32_t>(timer_.Interval());
    needed_ = slept < waited ? std::min(needed_ * 2, kLongestRestWait) : kRestTicks;
    restTicks_ = 0;
    timer_.SetEnabled(true);
}

void PollingRest::SettingsChanged() {
    Wake();
}

void PollingRest::Stop() {
    if (stopped_) return;
    stopped_ = true;
    if (resting_) {
        resting_ = false;
        platform_.StopWatchingJoystick();
    }
}

}  // namespace gimbalo
