// Whatever signal ends the program, no mouse button stays held: the X server
// keeps an XTest button down after its client has gone, which would leave the
// user's desktop with a button stuck (and a virtual device on /dev/uinput,
// which the kernel lets go of only once the dying process is gone, holds it
// until then: through a core dump or a slow crash report).
//
// Every signal whose default action ends the process lets go of the held
// buttons, then takes its course: the default death with the same signal, or
// the handler that was there before (a sanitizer's report). Not SIGKILL,
// which nothing can catch, nor SIGTERM, SIGINT, SIGHUP and SIGQUIT, which
// close the program in order while the message loop runs
// (termination_signals.h); outside it no button is down. SIGPIPE does
// nothing but fail the write that met a closed pipe or socket, so a write
// error is dealt with where it happens. Deaths no handler sees are the
// guardian's (button_guardian.h).
#pragma once

#include <csignal>

namespace gimbalo {

class FatalSignals {
public:
    // Lets go of every held button; whether none is left held. Called from
    // a signal handler, so async-signal-safe.
    using Release = bool (*)(void* context);

    // Installs the handlers for the life of the object; each calls
    // `release(context)`. Only the first one alive in the process does;
    // later ones do nothing. A
    // signal the process ignores stays ignored, and a signal that already has
    // a handler keeps it, unless it reports a crash (SIGSEGV, SIGBUS, SIGFPE,
    // SIGILL, SIGTRAP, SIGABRT, SIGSYS): the release then comes first.
    FatalSignals(Release release, void* context);
    // Puts the earlier actions back.
    ~FatalSignals();
    FatalSignals(const FatalSignals&) = delete;
    FatalSignals& operator=(const FatalSignals&) = delete;

    // What the handler reads: set before the handlers go in.
    Release release;
    void* context;
    struct sigaction previous[NSIG] {};
    bool taken[NSIG]{};

private:
    bool installed_ = false;
};

}  // namespace gimbalo
