// Joysticks through SDL2: device numbers are SDL device indices, axes become
// 0..65535 and buttons a bit mask, as the Windows joystick interface gives them.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"

struct _SDL_Joystick;

namespace gimbalo {

class SdlJoysticks {
public:
    // SDL's joystick subsystem must be running for as long as this lives.
    SdlJoysticks() = default;
    ~SdlJoysticks();
    SdlJoysticks(const SdlJoysticks&) = delete;
    SdlJoysticks& operator=(const SdlJoysticks&) = delete;

    uint32_t GetPos(int device, JOYINFOEX& info);
    uint32_t GetCaps(int device, JOYCAPS& caps);

private:
    // Device numbers the program may ask for, as on Windows.
    static constexpr int kMaxDevices = 16;

    struct OpenJoystick {
        int32_t instance = -1;  // SDL instance id, -1: slot free
        _SDL_Joystick* joystick = nullptr;
    };

    // Brings SDL's state up to date and closes the joysticks that went away.
    void Update();
    // The open joystick at `device`, opened on first use; nullptr when
    // nothing answers there. JOYERR_PARMS or JOYERR_UNPLUGGED in `error`.
    _SDL_Joystick* Find(int device, uint32_t& error);

    // Joysticks stay open once opened: a tick then costs no allocation.
    std::array<OpenJoystick, kMaxDevices> open_{};
};

// Cuts UTF-8 text to at most `limit` code points, never inside one.
std::string CutToCodePoints(const std::string& text, std::size_t limit);

}  // namespace gimbalo
