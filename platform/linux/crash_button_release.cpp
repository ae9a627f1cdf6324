#include "platform/linux/crash_button_release.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

namespace gimbalo {

namespace {
// A signal handler reaches nothing but globals: the watcher whose handlers
// are installed, null when none is.
std::atomic<CrashButtonRelease*> watcher{nullptr};
static_assert(std::atomic<CrashButtonRelease*>::is_always_lock_free);

// Xlib is not async-signal-safe, but this is the last thing the process
// does and a stuck button is worse than a risk at that point. The X
// connection is the backend's own, used only on the user-interface thread;
// if the crash came from inside Xlib with its lock taken, the call could
// block, so an alarm ends the process in any case.
extern "C" void OnCrashSignal(int signalNumber, siginfo_t* info, void*) {
    alarm(2);
    CrashButtonRelease* self = watcher.exchange(nullptr);
    if (self == nullptr) {
        signal(signalNumber, SIG_DFL);
        if (info == nullptr || info->si_code <= 0) raise(signalNumber);
        return;
    }
    const uint32_t held = self->held.load();
    for (unsigned int button = 1; button <= 3; ++button)
        if (held & (1u << button)) XTestFakeButtonEvent(self->display, button, False, CurrentTime);
    if (held != 0) XFlush(self->display);
    // The earlier action (the default, or a sanitizer's report) takes over.
    for (std::size_t i = 0; i < std::size(CrashButtonRelease::kSignals); ++i)
        if (CrashButtonRelease::kSignals[i] == signalNumber)
            sigaction(signalNumber, &self->previous[i], nullptr);
    // A fault the processor raised comes again when the faulting instruction
    // runs again on return, with its own details; a sent one is sent anew.
    if (info == nullptr || info->si_code <= 0) raise(signalNumber);
}
}  // namespace

CrashButtonRelease::CrashButtonRelease(Display* pointerDisplay,
                                       const std::atomic<uint32_t>& heldButtons)
    : display(pointerDisplay), held(heldButtons) {
    CrashButtonRelease* none = nullptr;
    if (display == nullptr || !watcher.compare_exchange_strong(none, this)) return;
    struct sigaction action {};
    action.sa_sigaction = OnCrashSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &previous[i]);
    installed_ = true;
}

CrashButtonRelease::~CrashButtonRelease() {
    if (!installed_) return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &previous[i], nullptr);
    CrashButtonRelease* self = this;
    watcher.compare_exchange_strong(self, nullptr);
}

}  // namespace gimbalo
