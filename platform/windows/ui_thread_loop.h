// The user-interface thread's message loop and its timers.
//
// Each followed Timer has a waitable timer, high-resolution where Windows
// offers one (else an ordinary one with the system clock at 1 ms). The loop
// waits on them and on window messages at once (MsgWaitForMultipleObjectsEx),
// so a 5 ms tick runs 200 times a second on the user-interface thread,
// between messages; SetTimer cannot go below the system's clock tick.
//
// A modal loop of the system (a message box, a file dialog, the popup menu,
// a window being moved or sized) dispatches messages but waits on no timer of
// ours. While one runs, a helper thread waits on the timers instead and posts
// one message per period to the hidden window, which every modal loop
// dispatches: the ticks still run on the user-interface thread, and the
// pointer still moves while a menu is open.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/windows/dialog_windows.h"
#include "platform/windows/message_window.h"
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

    // Dispatches messages and timer periods until Quit; at once when Quit
    // came before. It can run again after.
    void Run();
    // Leaves Run, and every modal loop running inside it.
    void Quit();

    // Marks a modal loop that the program runs itself (message box, file
    // dialog, popup menu) for the length of the scope. Moving or sizing a
    // window and menu loops of the system are noticed without one.
    class ModalScope {
    public:
        explicit ModalScope(UiThreadLoop& loop) : loop_(loop) { loop_.EnterModal(); }
        ~ModalScope() { loop_.LeaveModal(); }
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;

    private:
        UiThreadLoop& loop_;
    };

    // Whether the timers are high-resolution ones (else the system clock was
    // set to 1 ms for the life of the loop).
    bool HighResolutionTimers() const { return highResolution_; }

private:
    struct Entry {
        Timer* timer = nullptr;  // null once forgotten
        std::shared_ptr<Dispatch> dispatch;
        HANDLE handle = nullptr;
        int interval = 0;
        WPARAM id = 0;
        std::atomic<bool> posted{false};  // a tick message is on its way
    };

    HANDLE NewTimerHandle();
    Entry* Find(const Timer& timer) const;
    Entry* FindById(WPARAM id) const;
    void Arm(Entry& entry);
    // Drops forgotten entries; only where no dispatch of theirs runs.
    void Sweep();
    const std::vector<HANDLE>& ArmedHandles();
    void Tick(Entry& entry);
    // Dispatches the messages waiting; false once WM_QUIT came.
    bool DrainMessages();

    void EnterModal();
    void LeaveModal();
    // The helper thread of modal loops: started and stopped on the UI thread.
    void StartPump();
    void StopPump();
    void Pump(std::vector<HANDLE> handles, std::vector<Entry*> entries);
    // Stops the helper while the timers change, and starts it again after.
    class PumpPause;

    static LRESULT CALLBACK WatchModalLoops(int code, WPARAM wParam, LPARAM lParam);

    MessageWindow window_;
    bool highResolution_ = false;
    bool raisedClockRate_ = false;
    std::vector<std::unique_ptr<Entry>> entries_;
    WPARAM nextId_ = 1;
    bool handlesChanged_ = true;
    std::vector<HANDLE> armedHandles_;
    std::vector<Entry*> armedEntries_;
    int dispatching_ = 0;  // ticks running now (a tick may open a modal loop)
    bool quit_ = false;
    std::vector<HWND> dialogs_;

    int modalScopes_ = 0;
    int systemModal_ = 0;  // window moves and system menus under way
    HHOOK hook_ = nullptr;
    HANDLE stopPump_ = nullptr;
    std::thread pump_;
};

}  // namespace gimbalo
