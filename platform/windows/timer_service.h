// How a form's Timer controls are ticked on Windows: the message loop keeps
// a high-resolution waitable timer per followed Timer and runs the Timer's
// dispatch on the user-interface thread at each period, between window
// messages (and inside the system's modal loops: menus, message boxes, file
// dialogs, moving a window).
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
