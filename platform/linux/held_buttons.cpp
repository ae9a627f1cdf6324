#include "platform/linux/held_buttons.h"

#include <poll.h>
#include <sys/socket.h>
#include <time.h>

#include <cstring>

#include "platform/linux/button_guardian.h"
#include "platform/linux/xtest_request.h"

namespace gimbalo {

namespace {
// GetInputFocus, the request Xlib's XSync sends for its reply.
constexpr unsigned char kGetInputFocus[4] = {43, 0, 1, 0};
// Replies, errors and events all come in units of 32 bytes; the first byte
// of a reply is 1.
constexpr std::size_t kReplyUnit = 32;
constexpr unsigned char kReply = 1;
// How long the server may take to answer before the process goes on dying.
constexpr int kAnswerMilliseconds = 1000;

int64_t NowMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Waits for the reply to the GetInputFocus sent last. Between Xlib calls no
// other reply is due, so the first one is it; errors and events before it
// are passed over.
bool AwaitReply(int connection) {
    const int64_t deadline = NowMilliseconds() + kAnswerMilliseconds;
    unsigned char unit[kReplyUnit];
    std::size_t have = 0;
    for (;;) {
        const int64_t left = deadline - NowMilliseconds();
        if (left <= 0) return false;
        pollfd answer{connection, POLLIN, 0};
        if (poll(&answer, 1, static_cast<int>(left)) <= 0) continue;
        const ssize_t got = recv(connection, unit + have, kReplyUnit - have, MSG_DONTWAIT);
        if (got == 0) return false;
        if (got < 0) continue;
        have += static_cast<std::size_t>(got);
        if (have < kReplyUnit) continue;
        if (unit[0] == kReply) return true;
        have = 0;
    }
}
}  // namespace

bool ReleaseWithoutXlib(HeldButtons& buttons) {
    const uint32_t held = buttons.held.load();
    if (held == 0) return true;
    if (buttons.inXlib.load() || buttons.connection < 0) return false;
    unsigned char requests[3 * kFakeInputSize + sizeof kGetInputFocus];
    std::size_t size = 0;
    for (unsigned int button = 1; button <= 3; ++button) {
        if ((held & (1u << button)) == 0) continue;
        PutFakeInput(requests + size, buttons.xtestOpcode, kFakeButtonRelease,
                     static_cast<uint8_t>(button));
        size += kFakeInputSize;
    }
    // The server drops what it has not yet read from a client that has
    // gone, so the releases count only once it has answered a request sent
    // after them.
    std::memcpy(requests + size, kGetInputFocus, sizeof kGetInputFocus);
    size += sizeof kGetInputFocus;
    const ssize_t sent = send(buttons.connection, requests, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent != static_cast<ssize_t>(size) || !AwaitReply(buttons.connection)) return false;
    buttons.held.store(0);
    TellGuardian(buttons.guardian, 0);
    return true;
}

}  // namespace gimbalo
