// Last resort when the program crashes (SIGSEGV, SIGABRT, SIGBUS, SIGFPE):
// the X server keeps an XTest button down after its client has gone, which
// would leave the user's desktop with a button stuck. The handler lets go of
// the buttons the pointer holds, then lets the signal take its course.
#pragma once

#include <atomic>
#include <csignal>
#include <cstdint>
#include <iterator>

typedef struct _XDisplay Display;

namespace gimbalo {

class CrashButtonRelease {
public:
    // Watches `held` (bit n: X button n is down through `display`) for the
    // life of the object. Only the first one alive in the process installs
    // the handlers; later ones do nothing.
    CrashButtonRelease(Display* display, const std::atomic<uint32_t>& held);
    // Puts the earlier handlers back.
    ~CrashButtonRelease();
    CrashButtonRelease(const CrashButtonRelease&) = delete;
    CrashButtonRelease& operator=(const CrashButtonRelease&) = delete;

    static constexpr int kSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE};

    // What the handler reads: set before the handlers go in.
    Display* const display;
    const std::atomic<uint32_t>& held;
    struct sigaction previous[std::size(kSignals)]{};

private:
    bool installed_ = false;
};

}  // namespace gimbalo
