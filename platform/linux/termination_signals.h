// SIGTERM, SIGINT, SIGHUP (the terminal or session went) and SIGQUIT while
// the message loop runs: the handler only writes a byte to a pipe; the loop
// reads it and asks the program to close, as the desktop's close request
// does, so the settings are saved and held buttons let go.
#pragma once

#include <csignal>
#include <functional>
#include <iterator>
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
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};
    struct sigaction previous_[std::size(kSignals)]{};
    bool taken_[std::size(kSignals)]{};
    bool installed_ = false;
};

}  // namespace gimbalo
