#include "platform/windows/ui_thread_loop.h"

#include <algorithm>

#include "platform/forms.h"

namespace gimbalo {

namespace {

// Windows 10 1803 and later; older systems and Wine refuse the flag.
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
// One wait takes at most this many handles besides the message queue.
constexpr std::size_t kMostTimers = MAXIMUM_WAIT_OBJECTS - 1;
constexpr UINT kTickMessage = WM_APP + 1;

// The loop whose modal loops the hook watches. The hook has no room for
// data of its own, and the loop lives on one thread.
thread_local UiThreadLoop* watchedLoop = nullptr;

}  // namespace

// Stops the modal helper while the timers change, and starts it again after
// when a modal loop still runs.
class UiThreadLoop::PumpPause {
public:
    explicit PumpPause(UiThreadLoop& loop) : loop_(loop) { loop_.StopPump(); }
    ~PumpPause() {
        if (loop_.modalScopes_ + loop_.systemModal_ > 0) loop_.StartPump();
    }
    PumpPause(const PumpPause&) = delete;
    PumpPause& operator=(const PumpPause&) = delete;

private:
    UiThreadLoop& loop_;
};

UiThreadLoop::UiThreadLoop(HINSTANCE instance) : window_(instance) {
    stopPump_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    window_.On(kTickMessage, [this](WPARAM id, LPARAM) -> LRESULT {
        if (Entry* entry = FindById(id)) {
            entry->posted = false;
            Tick(*entry);
        }
        return 0;
    });
    HANDLE probe = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    highResolution_ = probe != nullptr;
    if (probe != nullptr) {
        CloseHandle(probe);
    } else {
        // An ordinary waitable timer keeps to the system clock, 15.6 ms
        // unless asked for better.
        raisedClockRate_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    }
    watchedLoop = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &UiThreadLoop::WatchModalLoops, nullptr,
                              GetCurrentThreadId());
}

UiThreadLoop::~UiThreadLoop() {
    StopPump();
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    if (watchedLoop == this) watchedLoop = nullptr;
    for (const std::unique_ptr<Entry>& entry : entries_)
        if (entry->handle != nullptr) CloseHandle(entry->handle);
    if (raisedClockRate_) timeEndPeriod(1);
    if (stopPump_ != nullptr) CloseHandle(stopPump_);
    // A quit that no loop took must not end the next loop of this thread.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

HANDLE UiThreadLoop::NewTimerHandle() {
    return CreateWaitableTimerExW(nullptr, nullptr, highResolution_ ? kHighResolutionTimer : 0,
                                  TIMER_ALL_ACCESS);
}

UiThreadLoop::Entry* UiThreadLoop::Find(const Timer& timer) const {
    for (const std::unique_ptr<Entry>& entry : entries_)
        if (entry->timer == &timer) return entry.get();
    return nullptr;
}

UiThreadLoop::Entry* UiThreadLoop::FindById(WPARAM id) const {
    for (const std::unique_ptr<Entry>& entry : entries_)
        if (entry->id == id && entry->timer != nullptr) return entry.get();
    return nullptr;
}

void UiThreadLoop::Follow(Timer& timer, Dispatch dispatch) {
    PumpPause pause(*this);
    Entry* entry = Find(timer);
    if (entry == nullptr) {
        auto made = std::make_unique<Entry>();
        made->timer = &timer;
        made->handle = NewTimerHandle();
        made->id = nextId_++;
        entry = made.get();
        entries_.push_back(std::move(made));
    }
    entry->dispatch = std::make_shared<Dispatch>(std::move(dispatch));
    // A disabled timer stands still, as one with no interval does.
    entry->interval = timer.Enabled() ? timer.Interval() : 0;
    Arm(*entry);
    handlesChanged_ = true;
}

void UiThreadLoop::Forget(Timer& timer) {
    Entry* entry = Find(timer);
    if (entry == nullptr) return;
    PumpPause pause(*this);
    if (entry->handle != nullptr) CancelWaitableTimer(entry->handle);
    entry->timer = nullptr;
    entry->interval = 0;
    handlesChanged_ = true;
    if (dispatching_ == 0) Sweep();
}

void UiThreadLoop::Arm(Entry& entry) {
    if (entry.handle == nullptr) return;
    if (entry.interval <= 0) {
        CancelWaitableTimer(entry.handle);
        return;
    }
    // Periodic from one period on: the periods do not drift with the time
    // each tick takes.
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(entry.interval) * 10000;  // 100 ns units, relative
    SetWaitableTimer(entry.handle, &due, entry.interval, nullptr, nullptr, FALSE);
}

void UiThreadLoop::Sweep() {
    std::erase_if(entries_, [](const std::unique_ptr<Entry>& entry) {
        if (entry->timer != nullptr) return false;
        if (entry->handle != nullptr) CloseHandle(entry->handle);
        return true;
    });
    handlesChanged_ = true;
}

const std::vector<HANDLE>& UiThreadLoop::ArmedHandles() {
    if (!handlesChanged_) return armedHandles_;
    armedHandles_.clear();
    armedEntries_.clear();
    for (const std::unique_ptr<Entry>& entry : entries_) {
        if (entry->timer == nullptr || entry->interval <= 0 || entry->handle == nullptr) continue;
        if (armedHandles_.size() == kMostTimers) break;
        armedHandles_.push_back(entry->handle);
        armedEntries_.push_back(entry.get());
    }
    handlesChanged_ = false;
    return armedHandles_;
}

void UiThreadLoop::Tick(Entry& entry) {
    if (entry.timer == nullptr || entry.interval <= 0) return;
    // Held by the tick: a dispatch that replaces itself runs to its end.
    const std::shared_ptr<Dispatch> dispatch = entry.dispatch;
    Timer& timer = *entry.timer;
    ++dispatching_;
    if (dispatch && *dispatch) (*dispatch)(timer);
    --dispatching_;
}

void UiThreadLoop::Run() {
    while (!quit_) {
        if (dispatching_ == 0 &&
            std::any_of(entries_.begin(), entries_.end(), [](const std::unique_ptr<Entry>& entry) {
                return entry->timer == nullptr;
            })) {
            PumpPause pause(*this);
            Sweep();
        }
        const std::vector<HANDLE>& handles = ArmedHandles();
        const auto count = static_cast<DWORD>(handles.size());
        const DWORD woke = MsgWaitForMultipleObjectsEx(count, handles.data(), INFINITE, QS_ALLINPUT,
                                                       MWMO_INPUTAVAILABLE);
        if (woke < WAIT_OBJECT_0 + count) {
            Tick(*armedEntries_[woke - WAIT_OBJECT_0]);
            continue;
        }
        if (woke == WAIT_FAILED) {
            // A handle went bad: build the list again, and keep the windows
            // answering meanwhile.
            handlesChanged_ = true;
            Sleep(1);
        }
        if (!DrainMessages()) break;
    }
    // The quit is taken: it must not end a later loop of this thread.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    quit_ = false;
}

bool UiThreadLoop::DrainMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit_ = true;
            return false;
        }
        bool navigation = false;
        for (HWND dialog : dialogs_) {
            if (message.hwnd != dialog && !IsChild(dialog, message.hwnd)) continue;
            navigation = IsDialogMessageW(dialog, &message) != FALSE;
            break;  // the list may have changed meanwhile
        }
        if (!navigation) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (quit_) return false;
    }
    return true;
}

void UiThreadLoop::Quit() {
    quit_ = true;
    // Ends a modal loop that runs now, which passes the quit on to ours.
    PostQuitMessage(0);
}

void UiThreadLoop::AddDialogWindow(HWND window) {
    if (window != nullptr && std::find(dialogs_.begin(), dialogs_.end(), window) == dialogs_.end())
        dialogs_.push_back(window);
}

void UiThreadLoop::RemoveDialogWindow(HWND window) {
    std::erase(dialogs_, window);
}

void UiThreadLoop::EnterModal() {
    if (++modalScopes_ + systemModal_ == 1) StartPump();
}

void UiThreadLoop::LeaveModal() {
    if (modalScopes_ > 0) --modalScopes_;
    if (modalScopes_ + systemModal_ == 0) StopPump();
}

void UiThreadLoop::StartPump() {
    if (pump_.joinable() || stopPump_ == nullptr) return;
    const std::vector<HANDLE>& handles = ArmedHandles();
    if (handles.empty()) return;
    ResetEvent(stopPump_);
    pump_ = std::thread(&UiThreadLoop::Pump, this, handles, armedEntries_);
}

void UiThreadLoop::StopPump() {
    if (!pump_.joinable()) return;
    SetEvent(stopPump_);
    pump_.join();
}

void UiThreadLoop::Pump(std::vector<HANDLE> handles, std::vector<Entry*> entries) {
    handles.push_back(stopPump_);
    const auto count = static_cast<DWORD>(handles.size());
    for (;;) {
        const DWORD woke = WaitForMultipleObjects(count, handles.data(), FALSE, INFINITE);
        if (woke >= WAIT_OBJECT_0 + count - 1) return;  // stopped, or a handle went bad
        Entry& entry = *entries[woke - WAIT_OBJECT_0];
        // One message on its way per timer: a modal loop that falls behind
        // gets no flood.
        if (!entry.posted.exchange(true)) PostMessageW(window_.Handle(), kTickMessage, entry.id, 0);
    }
}

LRESULT CALLBACK UiThreadLoop::WatchModalLoops(int code, WPARAM wParam, LPARAM lParam) {
    UiThreadLoop* loop = watchedLoop;
    if (code == HC_ACTION && loop != nullptr) {
        switch (reinterpret_cast<const CWPSTRUCT*>(lParam)->message) {
            case WM_ENTERSIZEMOVE:
            case WM_ENTERMENULOOP:
                if (++loop->systemModal_ + loop->modalScopes_ == 1) loop->StartPump();
                break;
            case WM_EXITSIZEMOVE:
            case WM_EXITMENULOOP:
                if (loop->systemModal_ > 0) --loop->systemModal_;
                if (loop->systemModal_ + loop->modalScopes_ == 0) loop->StopPump();
                break;
            default:
                break;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace gimbalo
