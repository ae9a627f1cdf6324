// The mouse buttons the pointer holds down through its X connection, kept
// where a signal handler can read them, and a release of them that is safe
// in a signal handler.
#pragma once

#include <atomic>
#include <cstdint>

namespace gimbalo {

struct HeldButtons {
    // Bit n: X button n is down, or about to be.
    std::atomic<uint32_t> held{0};
    // An Xlib call on the connection is under way, so its stream may hold
    // half a request.
    std::atomic<bool> inXlib{false};
    int connection = -1;      // the X connection's socket
    uint8_t xtestOpcode = 0;  // the XTEST extension's major opcode there
    // The guardian's channel (button_guardian.h), -1 when none; replaced
    // when a guardian that ended is started again.
    std::atomic<int> guardian{-1};
};
static_assert(std::atomic<uint32_t>::is_always_lock_free &&
              std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

// Writes one XTest release per held button straight onto the connection's
// socket, without Xlib (which is not async-signal-safe), and waits at most a
// second for the server to answer a request sent after them. Only while no
// Xlib call is under way: between calls the stream ends on a whole request
// and no reply is due. When the server has answered, the buttons count as
// up and the guardian hears so. Whether nothing is left held.
// Async-signal-safe.
bool ReleaseWithoutXlib(HeldButtons& buttons);

// Marks an Xlib call on the connection for its scope.
class XlibCall {
public:
    explicit XlibCall(HeldButtons& buttons) : buttons_(buttons) { buttons_.inXlib.store(true); }
    ~XlibCall() { buttons_.inXlib.store(false); }
    XlibCall(const XlibCall&) = delete;
    XlibCall& operator=(const XlibCall&) = delete;

private:
    HeldButtons& buttons_;
};

}  // namespace gimbalo
