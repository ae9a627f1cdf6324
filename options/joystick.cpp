#include "options/joystick.h"

#include <string>

namespace gimbalo {

int CountJoysticks(Platform& platform, Form& mainWindow) {
    int count = 0;
    for (int device = kFirstJoystick; device <= kLastJoystick; ++device) {
        JOYCAPS scratch;
        if (platform.joyGetDevCapsA(device, scratch) == JOYERR_NOERROR) ++count;
    }
    mainWindow.Tag = std::to_string(count);
    return count;
}

void ReadJoystickCaps(Platform& platform, int16_t joystickIndex, JOYCAPS& caps) {
    JOYCAPS answer = caps;
    if (platform.joyGetDevCapsA(joystickIndex, answer) == JOYERR_NOERROR) caps = answer;
}

}  // namespace gimbalo
