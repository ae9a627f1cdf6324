#include "platform/linux/fatal_signals.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <vector>

namespace gimbalo {

namespace {
// A signal handler reaches nothing but globals: the object whose handlers
// are installed, null when none is.
std::atomic<FatalSignals*> watcher{nullptr};
static_assert(std::atomic<FatalSignals*>::is_always_lock_free);

// Signals that report a crash: an earlier handler of theirs is a crash
// reporter, which runs after the release.
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, SIGSYS};
// The others whose default action ends the process, but SIGTERM, SIGINT,
// SIGHUP and SIGQUIT: the message loop takes those to close in order, and
// outside it no button is down, so they keep their default there.
constexpr int kEndingSignals[] = {SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
                                  SIGXCPU, SIGXFSZ, SIGPOLL, SIGSTKFLT, SIGPWR};

bool IsCrashSignal(int signalNumber) {
    for (int crash : kCrashSignals)
        if (crash == signalNumber) return true;
    return false;
}

std::vector<int> FatalSignalNumbers() {
    std::vector<int> numbers(std::begin(kCrashSignals), std::end(kCrashSignals));
    numbers.insert(numbers.end(), std::begin(kEndingSignals), std::end(kEndingSignals));
    for (int realTime = SIGRTMIN; realTime <= SIGRTMAX; ++realTime) numbers.push_back(realTime);
    return numbers;
}

// A fault the processor raised comes again when the faulting instruction
// runs again on return, with its own details for whoever handles it next;
// anything else (sent, or a trap that returns past its instruction) must be
// raised anew.
bool ComesAgainOnReturn(int signalNumber, const siginfo_t* info) {
    const bool fault = signalNumber == SIGSEGV || signalNumber == SIGBUS ||
                       signalNumber == SIGFPE || signalNumber == SIGILL;
    return fault && info != nullptr && info->si_code > 0;
}

extern "C" void OnFatalSignal(int signalNumber, siginfo_t* info, void*) {
    const int savedErrno = errno;
    FatalSignals* self = watcher.load();
    if (self != nullptr && signalNumber > 0 && signalNumber < NSIG && self->taken[signalNumber]) {
        self->release(self->context);
        sigaction(signalNumber, &self->previous[signalNumber], nullptr);
    } else {
        signal(signalNumber, SIG_DFL);
    }
    // Blocked while the handler runs: it comes once the handler returns,
    // with the action just put back.
    if (!ComesAgainOnReturn(signalNumber, info)) raise(signalNumber);
    errno = savedErrno;
}

// SIGPIPE: the write that met the closed end fails with EPIPE. A handler,
// not SIG_IGN, so programs the program starts get the default back.
extern "C" void OnBrokenPipe(int) {}
}  // namespace

FatalSignals::FatalSignals(Release releaseButtons, void* releaseContext)
    : release(releaseButtons), context(releaseContext) {
    FatalSignals* none = nullptr;
    if (!watcher.compare_exchange_strong(none, this)) return;
    installed_ = true;

    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    sigemptyset(&action.sa_mask);
    // On the alternate stack when there is one, so a stack overflow is seen.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    for (int signalNumber : FatalSignalNumbers()) {
        struct sigaction current {};
        if (sigaction(signalNumber, nullptr, &current) != 0) continue;
        const bool hasHandler = (current.sa_flags & SA_SIGINFO) != 0 ||
                                (current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN);
        if (current.sa_handler == SIG_IGN && (current.sa_flags & SA_SIGINFO) == 0) continue;
        if (hasHandler && !IsCrashSignal(signalNumber)) continue;
        previous[signalNumber] = current;
        taken[signalNumber] = true;
        sigaction(signalNumber, &action, nullptr);
    }

    struct sigaction pipeAction {};
    pipeAction.sa_handler = OnBrokenPipe;
    sigemptyset(&pipeAction.sa_mask);
    pipeAction.sa_flags = SA_RESTART;
    struct sigaction current {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
        (current.sa_flags & SA_SIGINFO) == 0) {
        previous[SIGPIPE] = current;
        taken[SIGPIPE] = true;
        sigaction(SIGPIPE, &pipeAction, nullptr);
    }
}

FatalSignals::~FatalSignals() {
    if (!installed_) return;
    for (int signalNumber = 1; signalNumber < NSIG; ++signalNumber)
        if (taken[signalNumber]) sigaction(signalNumber, &previous[signalNumber], nullptr);
    FatalSignals* self = this;
    watcher.compare_exchange_strong(self, nullptr);
}

}  // namespace gimbalo
