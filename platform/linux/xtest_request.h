// The XTest FakeInput request as it goes on the wire, for writing without
// Xlib: by the pointer on every moving tick, and by a dying process that
// lets go of its buttons.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace gimbalo {

// 36 bytes: the request's header, then one core event.
constexpr std::size_t kFakeInputSize = 36;
constexpr uint8_t kXTestFakeInput = 2;
// Core event types XTest fakes, and the detail of a relative motion.
constexpr uint8_t kFakeButtonRelease = 5;
constexpr uint8_t kFakeMotion = 6;
constexpr uint8_t kAbsoluteMotion = 0;
constexpr uint8_t kRelativeMotion = 1;

// Fills `request` with a FakeInput of core event `type` (a button number, or
// kRelativeMotion, in `detail`; a motion's distance, or for an absolute one
// its place on the screen of `root`, in `x`, `y`) for the extension's major
// `opcode`, in this machine's byte order, which is the one the connection
// announced. Time 0 is CurrentTime; the device is unused for core events.
// Async-signal-safe.
inline void PutFakeInput(unsigned char* request, uint8_t opcode, uint8_t type, uint8_t detail,
                         int16_t x = 0, int16_t y = 0, uint32_t root = 0) {
    std::memset(request, 0, kFakeInputSize);
    request[0] = opcode;
    request[1] = kXTestFakeInput;
    const uint16_t length = kFakeInputSize / 4;
    std::memcpy(request + 2, &length, sizeof length);
    request[4] = type;
    request[5] = detail;
    std::memcpy(request + 12, &root, sizeof root);
    std::memcpy(request + 24, &x, sizeof x);
    std::memcpy(request + 26, &y, sizeof y);
}

}  // namespace gimbalo
