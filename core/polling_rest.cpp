#include "core/polling_rest.h"

#include <algorithm>

namespace gimbalo {

namespace {
// The joystick the loop reads.
constexpr int kPolledDevice = 0;
}  // namespace

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
    // Cannot watch: keep polling, and ask again next tick (a joystick that
    // can be watched may have taken the number by then).
    if (!platform_.WatchJoystick(kPolledDevice, [this] { Wake(); })) return;
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
    JOYINFOEX info;
    info.dwSize = 52;
    info.dwFlags = JOY_RETURNALL;
    const uint32_t result = platform_.joyGetPosEx(kPolledDevice, info);
    return (result == JOYERR_NOERROR) == loop_.LastReadSucceeded() && ReadingAtRest(result, info);
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
