// Which joysticks answer, and what the one in use can do.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace gimbalo {

// Device numbers probed at start-up.
constexpr int kFirstJoystick = 0;
constexpr int kLastJoystick = 10;

// Counts the devices from 0 to 10 that answer, gaps included.
int CountJoysticks(Platform& platform);

// Fills `caps` with the capabilities of device `joystickIndex`; a device that
// does not answer leaves `caps` as it was.
void ReadJoystickCaps(Platform& platform, int16_t joystickIndex, JOYCAPS& caps);

}  // namespace gimbalo
