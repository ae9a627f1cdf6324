#include "platform/linux/guardian_watch.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include "platform/linux/x11_pointer.h"

namespace gimbalo {

namespace {
using std::chrono::milliseconds;
// A guardian that lived this long ended by some chance: the next one starts
// at once. One that ends sooner waits the delay, doubled each time up to the
// longest.
constexpr std::chrono::seconds kLongLife{10};
constexpr milliseconds kFirstDelay{500};
constexpr milliseconds kLongestDelay{60000};
}  // namespace

GuardianWatch::GuardianWatch(X11Pointer& pointer)
    : pointer_(pointer), started_(std::chrono::steady_clock::now()), delay_(kFirstDelay) {
    retry_.setSingleShot(true);
    QObject::connect(&retry_, &QTimer::timeout, [this] { Restart(); });
    Watch();
}

GuardianWatch::~GuardianWatch() = default;

void GuardianWatch::Watch() {
    notifier_.reset();
    const int channel = pointer_.GuardianChannel();
    if (channel < 0) return;
    // The guardian never writes: its end of the channel becomes readable
    // only when it closes, which happens when it exits.
    notifier_ = std::make_unique<QSocketNotifier>(channel, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { OnChannel(); });
}

void GuardianWatch::OnChannel() {
    // Whatever it might say is of no use: read, so the notifier rests.
    char bytes[64];
    const ssize_t got = recv(pointer_.GuardianChannel(), bytes, sizeof bytes, MSG_DONTWAIT);
    if (got > 0 || (got < 0 && (errno == EAGAIN || errno == EINTR))) return;
    // Gone. The restart runs from the timer, never inside this notifier's
    // own signal, since it replaces the notifier.
    notifier_->setEnabled(false);
    if (std::chrono::steady_clock::now() - started_ >= kLongLife) {
        delay_ = kFirstDelay;
        retry_.start(0);
        return;
    }
    retry_.start(delay_);
    delay_ = std::min(delay_ * 2, kLongestDelay);
}

void GuardianWatch::Restart() {
    // The old channel closes with the old guardian, and the new one may get
    // its number.
    notifier_.reset();
    started_ = std::chrono::steady_clock::now();
    if (!pointer_.RestartGuardian()) {
        // Not started this time (no process to spare): try again later.
        retry_.start(delay_);
        delay_ = std::min(delay_ * 2, kLongestDelay);
        return;
    }
    Watch();
}

}  // namespace gimbalo
