#include "platform/windows/periodic_ticks.h"

#include <algorithm>

namespace gimbalo {

namespace {

// Windows 10 1803 and later; older systems and Wine refuse the flag.
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr UINT kTickMessage = WM_APP + 1;

}  // namespace

PeriodicTicks::PeriodicTicks(HINSTANCE instance, std::function<void(WPARAM id)> tick)
    : window_(instance, MessageWindow::Kind::MessageOnly), tick_(std::move(tick)) {
    window_.On(kTickMessage, [this](WPARAM id, LPARAM setting) -> LRESULT {
        OnTick(id, setting);
        return 0;
    });
    timer_ = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    highResolution_ = timer_ != nullptr;
    if (timer_ == nullptr) timer_ = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    changed_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (window_.Handle() != nullptr && timer_ != nullptr && changed_ != nullptr)
        thread_ = CreateThread(nullptr, 0, &PeriodicTicks::ThreadStart, this, 0, nullptr);
}

PeriodicTicks::~PeriodicTicks() {
    if (thread_ != nullptr) {
        {
            const std::lock_guard<SlimLock> lock(mutex_);
            stopping_ = true;
        }
        SetEvent(changed_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    if (clockRaised_) timeEndPeriod(1);
    if (timer_ != nullptr) CloseHandle(timer_);
    if (changed_ != nullptr) CloseHandle(changed_);
}

int64_t PeriodicTicks::Now() {
    static const int64_t frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return static_cast<int64_t>(value.QuadPart);
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    // Whole seconds and the rest apart, so the product cannot overflow.
    const int64_t ticks = count.QuadPart;
    return ticks / frequency * 10000000 + ticks % frequency * 10000000 / frequency;
}

void PeriodicTicks::Set(WPARAM id, int interval) {
    {
        const std::lock_guard<SlimLock> lock(mutex_);
        auto slot = std::find_if(slots_.begin(), slots_.end(),
                                 [id](const Slot& each) { return each.id == id; });
        if (slot == slots_.end()) slot = slots_.insert(slots_.end(), Slot{id});
        slot->period = interval > 0 ? static_cast<int64_t>(interval) * 10000 : 0;
        slot->due = Now() + slot->period;
        ++slot->setting;
        slot->posted = false;
        running_ = std::any_of(slots_.begin(), slots_.end(),
                               [](const Slot& each) { return each.period > 0; });
    }
    Changed();
}

void PeriodicTicks::Remove(WPARAM id) {
    {
        const std::lock_guard<SlimLock> lock(mutex_);
        std::erase_if(slots_, [id](const Slot& each) { return each.id == id; });
        running_ = std::any_of(slots_.begin(), slots_.end(),
                               [](const Slot& each) { return each.period > 0; });
    }
    Changed();
}

void PeriodicTicks::Changed() {
    FollowClock();
    SetEvent(changed_);
}

void PeriodicTicks::FollowClock() {
    // An ordinary waitable timer keeps to the system clock, 15.6 ms unless
    // asked for better; asking costs every program's battery, so only while
    // a timer runs.
    if (highResolution_ || running_ == clockRaised_) return;
    if (running_)
        clockRaised_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    else {
        timeEndPeriod(1);
        clockRaised_ = false;
    }
}

int64_t PeriodicTicks::PostDue(int64_t now) {
    int64_t next = -1;
    for (Slot& slot : slots_) {
        if (slot.period <= 0) continue;
        if (slot.due <= now) {
            if (!slot.posted &&
                PostMessageW(window_.Handle(), kTickMessage, slot.id, slot.setting) != FALSE)
                slot.posted = true;
            // Periods that passed meanwhile are not made up.
            slot.due += ((now - slot.due) / slot.period + 1) * slot.period;
        }
        if (next < 0 || slot.due - now < next) next = slot.due - now;
    }
    return next;
}

DWORD WINAPI PeriodicTicks::ThreadStart(LPVOID self) {
    static_cast<PeriodicTicks*>(self)->Wait();
    return 0;
}

void PeriodicTicks::Wait() {
    const HANDLE handles[] = {changed_, timer_};
    std::unique_lock<SlimLock> lock(mutex_);
    while (!stopping_) {
        const int64_t next = PostDue(Now());
        lock.unlock();
        if (next < 0) {
            WaitForSingleObject(changed_, INFINITE);
        } else {
            LARGE_INTEGER due;
            due.QuadPart = -std::max<int64_t>(next, 1);  // relative, 100 ns units
            if (SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE))
                WaitForMultipleObjects(2, handles, FALSE, INFINITE);
            else
                Sleep(1);
        }
        lock.lock();
    }
}

void PeriodicTicks::OnTick(WPARAM id, LPARAM setting) {
    {
        const std::lock_guard<SlimLock> lock(mutex_);
        const auto slot = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& each) {
            return each.id == id && each.setting == static_cast<uint32_t>(setting);
        });
        // Stopped, removed or set anew since the message was posted.
        if (slot == slots_.end() || slot->period <= 0) return;
    }
    tick_(id);
    // Only now may the next period post again: a tick that runs a loop of
    // its own is not entered a second time from inside it.
    const std::lock_guard<SlimLock> lock(mutex_);
    for (Slot& slot : slots_)
        if (slot.id == id && slot.setting == static_cast<uint32_t>(setting)) slot.posted = false;
}

}  // namespace gimbalo
