#include "platform/linux/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>

namespace gimbalo {

namespace {
// A signal handler reaches nothing but globals; this one holds only the
// write end of the pipe of the loop that is running, -1 when none is.
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const int fd = signalPipe.load();
    if (fd >= 0) {
        const char byte = static_cast<char>(signalNumber);
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = savedErrno;
}
}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> close) : close_(std::move(close)) {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipe_[0] = pipe_[1] = -1;
        return;  // the signals keep their default action
    }
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
    signalPipe.store(pipe_[1]);

    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        // One the user's shell ignores (nohup) stays ignored.
        if (sigaction(kSignals[i], nullptr, &previous_[i]) != 0 ||
            (previous_[i].sa_handler == SIG_IGN && (previous_[i].sa_flags & SA_SIGINFO) == 0))
            continue;
        sigaction(kSignals[i], &action, nullptr);
        taken_[i] = true;
    }
    installed_ = true;
}

TerminationSignals::~TerminationSignals() {
    if (installed_) {
        for (std::size_t i = 0; i < std::size(kSignals); ++i)
            if (taken_[i]) sigaction(kSignals[i], &previous_[i], nullptr);
    }
    signalPipe.store(-1);
    notifier_.reset();
    for (int fd : pipe_)
        if (fd >= 0) ::close(fd);
}

void TerminationSignals::Drain() {
    char bytes[16];
    bool signalled = false;
    while (read(pipe_[0], bytes, sizeof bytes) > 0) signalled = true;
    if (signalled && close_) close_();
}

}  // namespace gimbalo
