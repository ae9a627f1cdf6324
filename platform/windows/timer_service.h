// How a form's Timer controls are ticked on Windows: a helper thread keeps
// the periods of every followed Timer and posts one message a period, on
// which the Timer's dispatch runs on the user-interface thread, from
// whatever message loop runs there (periodic_ticks.h).
#pragma once

#include <functional>

namespace gimbalo {

class Timer;

class TimerService {
public:
    using Dispatch = std::function<void(Timer&)>;

    virtual ~TimerService() = default;

    // Ticks `timer` at its current interval from now on: `dispatch` runs once
    // per period that passes (periods missed while the thread was busy are
    // not made up). An interval of 0, or a disabled timer, stops the ticks
    // but keeps the timer followed. Call it again when the interval or the
    // enabled state changes: the period restarts from then.
    virtual void Follow(Timer& timer, Dispatch dispatch) = 0;
    // No more ticks for `timer`; nothing happens for a timer not followed.
    // Safe from inside the timer's own dispatch.
    virtual void Forget(Timer& timer) = 0;
};

}  // namespace gimbalo
