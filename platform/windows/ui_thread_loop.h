// The user-interface thread's message loop and its timers.
//
// The timers' periods come as posted messages (periodic_ticks.h), so every
// message loop on the thread runs the ticks: this one, and every modal loop
// of the system or of a control (menus, context menus, drop-downs, moving or
// sizing a window, message boxes, file dialogs). The loop itself only waits
// for messages; a 5 ms tick runs 200 times a second, and while no timer
// runs nothing wakes the thread.
#pragma once

#include <memory>
#include <vector>

#include "platform/windows/dialog_windows.h"
#include "platform/windows/message_window.h"
#include "platform/windows/periodic_ticks.h"
#include "platform/windows/timer_service.h"
#include "platform/windows/win32.h"

namespace gimbalo {

class UiThreadLoop : public TimerService, public DialogWindows {
public:
    explicit UiThreadLoop(HINSTANCE instance);
    ~UiThreadLoop() override;
    UiThreadLoop(const UiThreadLoop&) = delete;
    UiThreadLoop& operator=(const UiThreadLoop&) = delete;

    // The program's hidden window.
    MessageWindow& Window() { return window_; }

    void Follow(Timer& timer, Dispatch dispatch) override;
    void Forget(Timer& timer) override;

    void AddDialogWindow(HWND window) override;
    void RemoveDialogWindow(HWND window) override;

    // Dispatches messages, and with them the timers' ticks, until Quit; at
    // once when Quit came before. It can run again after.
    void Run();
    // Leaves Run, and every modal loop running inside it.
    void Quit();

    // Whether the timers are high-resolution ones (else the system clock is
    // set to 1 ms while a timer runs).
    bool HighResolutionTimers() const { return ticks_.HighResolution(); }
    // Whether some timer runs (a resting program has none).
    bool TimersRunning() const { return ticks_.Running(); }

private:
    struct Entry {
        Timer* timer = nullptr;  // null once forgotten
        std::shared_ptr<Dispatch> dispatch;
        int interval = 0;
        WPARAM id = 0;
    };

    Entry* Find(const Timer& timer) const;
    // Drops forgotten entries; only where no dispatch of theirs runs.
    void Sweep();
    void Tick(WPARAM id);
    void Handle(MSG& message);

    MessageWindow window_;
    PeriodicTicks ticks_;
    std::vector<std::unique_ptr<Entry>> entries_;
    WPARAM nextId_ = 1;
    int dispatching_ = 0;  // ticks running now (a tick may run a loop of its own)
    bool quit_ = false;
    std::vector<HWND> dialogs_;
};

}  // namespace gimbalo
