#include "platform/linux/held_buttons.h"

#include <X11/X.h>
#include <sys/socket.h>

#include <cstring>

#include "platform/linux/button_guardian.h"

namespace gimbalo {

namespace {
// The XTest FakeInput request: 36 bytes in the client's own byte order, which
// is the one Xlib announced when it opened the connection.
constexpr std::size_t kFakeInputSize = 36;
constexpr uint8_t kXTestFakeInput = 2;

void PutRelease(unsigned char* request, uint8_t opcode, unsigned int button) {
    std::memset(request, 0, kFakeInputSize);
    request[0] = opcode;
    request[1] = kXTestFakeInput;
    const uint16_t length = kFakeInputSize / 4;
    std::memcpy(request + 2, &length, sizeof length);
    request[4] = ButtonRelease;
    request[5] = static_cast<unsigned char>(button);
    // Time 0 is CurrentTime; root, position and device are unused for a
    // core button event.
}
}  // namespace

bool ReleaseWithoutXlib(HeldButtons& buttons) {
    const uint32_t held = buttons.held.load();
    if (held == 0) return true;
    if (buttons.inXlib.load() || buttons.connection < 0) return false;
    unsigned char requests[3 * kFakeInputSize];
    std::size_t size = 0;
    for (unsigned int button = 1; button <= 3; ++button) {
        if ((held & (1u << button)) == 0) continue;
        PutRelease(requests + size, buttons.xtestOpcode, button);
        size += kFakeInputSize;
    }
    const ssize_t sent = send(buttons.connection, requests, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent != static_cast<ssize_t>(size)) return false;
    buttons.held.store(0);
    TellGuardian(buttons.guardian, 0);
    return true;
}

}  // namespace gimbalo
