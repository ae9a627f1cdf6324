#include "options/joystick.h"

namespace gimbalo {

int CountJoysticks(Platform& platform) {
    int count = 0;
    for (int device = kFirstJoystick; device <= kLastJoystick; ++device) {
        JOYCAPS scratch;
        if (platform.joyGetDevCapsA(device, scratch) == JOYERR_NOERROR) ++count;
    }
    return count;
}

void ReadJoystickCaps(Platform& platform, int16_t joystickIndex, JOYCAPS& caps) {
    JOYCAPS answer = caps;
    if (platform.joyGetDevCapsA(joystickIndex, answer) == JOYERR_NOERROR) caps = answer;
}

}  // namespace gimbalo
