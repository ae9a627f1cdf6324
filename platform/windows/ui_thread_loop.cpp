#include "platform/windows/ui_thread_loop.h"

#include <algorithm>

#include "platform/forms.h"

namespace gimbalo {

UiThreadLoop::UiThreadLoop(HINSTANCE instance)
    : window_(instance), ticks_(instance, [this](WPARAM id) { Tick(id); }) {}

UiThreadLoop::~UiThreadLoop() {
    // A quit that no loop took must not end the next loop of this thread.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

UiThreadLoop::Entry* UiThreadLoop::Find(const Timer& timer) const {
    for (const std::unique_ptr<Entry>& entry : entries_)
        if (entry->timer == &timer) return entry.get();
    return nullptr;
}

void UiThreadLoop::Follow(Timer& timer, Dispatch dispatch) {
    Entry* entry = Find(timer);
    if (entry == nullptr) {
        auto made = std::make_unique<Entry>();
        made->timer = &timer;
        made->id = nextId_++;
        entry = made.get();
        entries_.push_back(std::move(made));
    }
    entry->dispatch = std::make_shared<Dispatch>(std::move(dispatch));
    // A disabled timer stands still, as one with no interval does.
    entry->interval = timer.Enabled() ? timer.Interval() : 0;
    ticks_.Set(entry->id, entry->interval);
}

void UiThreadLoop::Forget(Timer& timer) {
    Entry* entry = Find(timer);
    if (entry == nullptr) return;
    ticks_.Remove(entry->id);
    entry->timer = nullptr;
    entry->interval = 0;
    if (dispatching_ == 0) Sweep();
}

void UiThreadLoop::Sweep() {
    std::erase_if(entries_,
                  [](const std::unique_ptr<Entry>& entry) { return entry->timer == nullptr; });
}

void UiThreadLoop::Tick(WPARAM id) {
    const auto found =
        std::find_if(entries_.begin(), entries_.end(), [id](const std::unique_ptr<Entry>& each) {
            return each->id == id && each->timer != nullptr;
        });
    if (found == entries_.end() || (*found)->interval <= 0) return;
    // Held by the tick: a dispatch that replaces itself runs to its end.
    const std::shared_ptr<Dispatch> dispatch = (*found)->dispatch;
    Timer& timer = *(*found)->timer;
    ++dispatching_;
    if (dispatch && *dispatch) (*dispatch)(timer);
    if (--dispatching_ == 0) Sweep();
}

void UiThreadLoop::Run() {
    while (!quit_) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) break;  // WM_QUIT
        if (got == -1) {
            // Cannot fail with these arguments; never spin if it does.
            Sleep(1);
            continue;
        }
        Handle(message);
    }
    // The quit is taken: it must not end a later loop of this thread.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    quit_ = false;
}

void UiThreadLoop::Handle(MSG& message) {
    for (HWND dialog : dialogs_) {
        if (message.hwnd != dialog && !IsChild(dialog, message.hwnd)) continue;
        if (IsDialogMessageW(dialog, &message)) return;
        break;  // the list may have changed meanwhile
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
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

}  // namespace gimbalo
