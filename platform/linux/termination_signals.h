// SIGTERM and SIGINT while the message loop runs: the handler only writes a
// byte to a pipe; the loop reads it and asks the program to close, as the
// desktop's close request does.
#pragma once

#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace gimbalo {

class TerminationSignals {
public:
    // Installs the handlers; `close` runs in the message loop for each signal.
    explicit TerminationSignals(std::function<void()> close);
    // Puts the previous handlers back and closes the pipe.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void Drain();

    std::function<void()> close_;
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction previousTerm_ {};
    struct sigaction previousInt_ {};
    bool installed_ = false;
};

}  // namespace gimbalo
