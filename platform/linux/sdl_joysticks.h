// Joysticks through SDL2: axes become 0..65535 and buttons a bit mask, as the
// Windows joystick interface gives them. Device numbers stay with their
// joystick, as on Windows: from the first query on, each number stands for
// one SDL joystick; when it goes, its number is unplugged and no other number
// moves; a joystick plugged in later takes the lowest free number.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

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
    // GetPos without asking SDL for news first: the same answer as GetPos
    // when nothing has happened since SDL's last update (no report from any
    // device, no joystick coming or going).
    uint32_t GetPosAsLastUpdated(int device, JOYINFOEX& info);
    uint32_t GetCaps(int device, JOYCAPS& caps);
    // The device number of the SDL joystick with instance id `instance`, -1
    // when it has none (gone, or beyond the numbers there are).
    int DeviceOf(int32_t instance);

    // The joystick at `device` as the last read found it: its SDL instance
    // (-1: no joystick has the number) and the device node SDL reads it from
    // (empty when it has none, as a virtual joystick, or SDL cannot say).
    struct Node {
        int32_t instance = -1;
        std::string path;
    };
    Node NodeOf(int device);
    // The SDL instance at `device` as the last read found it, -1 for none.
    int32_t InstanceOf(int device) const;

private:
    // Device numbers the program may ask for, as on Windows.
    static constexpr int kMaxDevices = 16;

    struct Slot {
        int32_t instance = -1;              // SDL instance id, -1: the number is free
        _SDL_Joystick* joystick = nullptr;  // opened on first use
    };

    // What a device read, as GetPos gives it; `result` alone when it is
    // not JOYERR_NOERROR.
    struct Reading {
        int device;
        uint32_t result = JOYERR_NOERROR;
        uint32_t x = 0;
        uint32_t y = 0;
        uint32_t buttons = 0;
        uint32_t pressed = 0;
    };
    Reading Read(int device);

    // Brings SDL's state up to date: frees the numbers of the joysticks that
    // went away and numbers the new ones.
    void Update();
    // The open joystick at `device`; nullptr when nothing answers there, with
    // JOYERR_PARMS or JOYERR_UNPLUGGED in `error`.
    _SDL_Joystick* Find(int device, uint32_t& error);

    // By device number. Joysticks stay open once opened: a tick then costs
    // no allocation.
    std::array<Slot, kMaxDevices> slots_{};
    // The last read since SDL's last update.
    std::optional<Reading> lastRead_;
};

}  // namespace gimbalo
