// How every backend runs a tick of a form's Timer: a tick that comes after
// the program ended does nothing (the forms may be on their way out), and
// while a wrapper is set each tick goes through it, so that what wraps the
// desktop (the replay, a test) can act around a tick without taking the
// backend apart.
#pragma once

#include <functional>

namespace gimbalo {

class Platform;
class Timer;

class TimerDispatch {
public:
    // Gets every tick of `timer`; `fire` runs the timer's own work (nothing
    // once the program has ended). The wrapper decides when, or whether.
    using Wrapper = std::function<void(Timer& timer, const std::function<void()>& fire)>;

    // `platform` says when the program has ended; it must outlive this.
    explicit TimerDispatch(const Platform& platform) : platform_(platform) {}

    // Runs one tick of `timer`, as its host's period comes.
    void Dispatch(Timer& timer);
    // From now on each tick goes through `wrapper`; an empty one lets the
    // ticks run as they come.
    void Wrap(Wrapper wrapper) { wrapper_ = std::move(wrapper); }

private:
    const Platform& platform_;
    Wrapper wrapper_;
};

}  // namespace gimbalo
