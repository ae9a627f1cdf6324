// The periods of the program's timers, kept by a helper thread and handed to
// the user-interface thread as one private message each, posted to a
// message-only window. Every message loop dispatches posted messages: the
// program's own, and those Windows or a control runs on the thread (menus,
// an edit's context menu, a combo box's drop-down, moving or sizing a
// window, message boxes, common dialogs). So a tick runs wherever the thread
// waits, without the program knowing which loop that is.
//
// At most one message per timer waits in the queue: a period that comes
// while the last one's message is still waiting, or its tick still running,
// is dropped, so a thread that was busy gets one late tick, not a burst.
// Periods are counted from the moment the interval was set, so they do not
// drift with the time each tick takes.
//
// The thread waits on one waitable timer, high-resolution where Windows
// offers one (Windows 10 1803 on); elsewhere the system clock is asked for
// 1 ms (timeBeginPeriod) while some timer runs, and given back while none
// does. With no timer running the thread waits for a change only: nothing
// wakes the program.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/windows/message_window.h"
#include "platform/windows/win32.h"

namespace gimbalo {

class PeriodicTicks {
public:
    // `tick` runs on the thread that made this object, from whatever message
    // loop runs there, with the id of the timer whose period came.
    PeriodicTicks(HINSTANCE instance, std::function<void(WPARAM id)> tick);
    ~PeriodicTicks();
    PeriodicTicks(const PeriodicTicks&) = delete;
    PeriodicTicks& operator=(const PeriodicTicks&) = delete;

    // Timer `id` ticks every `interval` milliseconds from now on, the first
    // period from now; 0 or less stops it. A tick of an earlier setting that
    // still waits does not run.
    void Set(WPARAM id, int interval);
    // No more ticks for `id`.
    void Remove(WPARAM id);
    // Whether some timer runs.
    bool Running() const { return running_; }
    // Whether the waitable timer is a high-resolution one.
    bool HighResolution() const { return highResolution_; }
    // False when the window or the thread could not be made: no tick comes.
    bool Usable() const { return thread_ != nullptr; }

private:
    struct Slot {
        WPARAM id = 0;
        int64_t period = 0;    // in 100 ns units; 0 while stopped
        int64_t due = 0;       // the next period's end, on Now()'s clock
        uint32_t setting = 0;  // counts Set calls: a message of an older one is stale
        bool posted = false;   // a message waits, or its tick runs
    };

    // 100 ns units from a fixed moment.
    static int64_t Now();
    static DWORD WINAPI ThreadStart(LPVOID self);
    void Wait();  // the helper thread
    // Posts the messages due; the time to the next period, -1 for none.
    int64_t PostDue(int64_t now);
    void OnTick(WPARAM id, LPARAM setting);
    void Changed();
    void FollowClock();

    MessageWindow window_;
    std::function<void(WPARAM)> tick_;
    bool highResolution_ = false;
    bool clockRaised_ = false;
    bool running_ = false;
    HANDLE timer_ = nullptr;
    HANDLE changed_ = nullptr;  // auto-reset: the slots changed, or the end
    // Windows' own lock and thread, not the C++ library's: under Wine the
    // MinGW thread library's join could wait for ever on its own bookkeeping.
    class SlimLock {
    public:
        void lock() { AcquireSRWLockExclusive(&lock_); }
        void unlock() { ReleaseSRWLockExclusive(&lock_); }

    private:
        SRWLOCK lock_ = SRWLOCK_INIT;
    };
    SlimLock mutex_;  // guards slots_ and stopping_
    std::vector<Slot> slots_;
    bool stopping_ = false;
    HANDLE thread_ = nullptr;
};

}  // namespace gimbalo
