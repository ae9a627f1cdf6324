// Lets the polling timer sleep while the stick rests. Once the stick has been
// at rest for a few ticks (centred, no button, nothing held), further ticks
// would change nothing, so the timer stops and the desktop is asked to watch
// the joystick the tick reads instead. Input from it, a joystick coming or
// going, or new settings start the timer again, and the next tick does what
// the same tick under plain polling would have done. A desktop that cannot watch its
// joysticks is simply polled.
#pragma once

#include <cstdint>

#include "core/polling_loop.h"
#include "platform/forms.h"
#include "platform/platform.h"

namespace gimbalo {

// Ticks at rest before the first sleep after the stick did something.
constexpr int kRestTicks = 4;
// The longest wait. A wake that comes sooner than the wait before the sleep
// lasted doubles the wait, up to this: a stick that keeps reporting without
// doing anything (noise, a pad that sends reports all the time) costs about
// as much as polling, never much more. A later wake brings the short wait
// back, and so does a tick with work.
constexpr int kLongestRestWait = 200;

class PollingRest {
public:
    // `timer` is the polling timer, `loop` the tick it runs.
    PollingRest(Platform& platform, Timer& timer, PollingLoop& loop);
    ~PollingRest();
    PollingRest(const PollingRest&) = delete;
    PollingRest& operator=(const PollingRest&) = delete;

    // The polling timer's tick: runs the loop's tick, then sleeps when the
    // stick has rested long enough and the desktop can wake the program.
    void Tick();
    // The settings a tick reads may have changed: a resting timer starts
    // again, so the next tick takes them as plain polling would have.
    void SettingsChanged();
    // The program is closing: no more watching, no more waking.
    void Stop();

    bool Resting() const { return resting_; }

private:
    void Wake();
    // Whether the joystick still reads at rest, as the last tick found it.
    bool StillAtRest();

    Platform& platform_;
    Timer& timer_;
    PollingLoop& loop_;
    bool resting_ = false;
    bool stopped_ = false;
    int restTicks_ = 0;        // ticks at rest in a row, up to kLongestRestWait
    int needed_ = kRestTicks;  // of them before the next sleep
    uint32_t sleptAt_ = 0;     // GetTickCount when the rest began
};

}  // namespace gimbalo
