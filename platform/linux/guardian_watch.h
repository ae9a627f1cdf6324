// Keeps the guardian (button_guardian.h) running: its channel, watched from
// the message loop, tells of its end (a kill, a crash), and another is
// started and told which buttons are held. One that keeps ending is started
// again less and less often, never in a busy loop.
#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <memory>

namespace gimbalo {

class X11Pointer;

class GuardianWatch {
public:
    // Watches the guardian of `pointer`, which outlives the watch. Needs Qt.
    explicit GuardianWatch(X11Pointer& pointer);
    ~GuardianWatch();
    GuardianWatch(const GuardianWatch&) = delete;
    GuardianWatch& operator=(const GuardianWatch&) = delete;

private:
    void Watch();
    void OnChannel();
    void Restart();

    X11Pointer& pointer_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer retry_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::milliseconds delay_;
};

}  // namespace gimbalo
