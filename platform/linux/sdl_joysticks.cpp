#include "platform/linux/sdl_joysticks.h"

#include <SDL.h>

#include <algorithm>

namespace gimbalo {

namespace {
constexpr int kAxisOffset = 32768;  // -32768..32767 becomes 0..65535
constexpr int kMaxButtons = 32;     // bits of the button mask
}  // namespace

std::string CutToCodePoints(const std::string& text, std::size_t limit) {
    std::size_t points = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A byte that does not continue a sequence starts a code point.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (points == limit) return text.substr(0, i);
            ++points;
        }
    }
    return text;
}

SdlJoysticks::~SdlJoysticks() {
    for (OpenJoystick& slot : open_)
        if (slot.joystick != nullptr) SDL_JoystickClose(slot.joystick);
}

void SdlJoysticks::Update() {
    SDL_JoystickUpdate();
    for (OpenJoystick& slot : open_) {
        if (slot.joystick == nullptr || SDL_JoystickGetAttached(slot.joystick)) continue;
        SDL_JoystickClose(slot.joystick);
        slot = OpenJoystick{};
    }
}

SDL_Joystick* SdlJoysticks::Find(int device, uint32_t& error) {
    if (device < 0 || device >= kMaxDevices) {
        error = JOYERR_PARMS;
        return nullptr;
    }
    if (device >= SDL_NumJoysticks()) {
        error = JOYERR_UNPLUGGED;
        return nullptr;
    }
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(device);
    if (instance < 0) {
        error = JOYERR_UNPLUGGED;
        return nullptr;
    }
    OpenJoystick* unused = nullptr;
    for (OpenJoystick& slot : open_) {
        if (slot.joystick != nullptr && slot.instance == instance) return slot.joystick;
        if (slot.joystick == nullptr && unused == nullptr) unused = &slot;
    }
    // An open joystick keeps an index below 16 (indices only move down) and a
    // detached one frees its slot, so one is always free; this only guards it.
    if (unused == nullptr) {
        error = JOYERR_PARMS;
        return nullptr;
    }
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    if (joystick == nullptr) {
        error = JOYERR_UNPLUGGED;
        return nullptr;
    }
    *unused = OpenJoystick{instance, joystick};
    return joystick;
}

uint32_t SdlJoysticks::GetPos(int device, JOYINFOEX& info) {
    Update();
    uint32_t error = JOYERR_NOERROR;
    SDL_Joystick* joystick = Find(device, error);
    if (joystick == nullptr) return error;

    const int axes = SDL_JoystickNumAxes(joystick);
    info.dwXpos = axes > 0 ? static_cast<uint32_t>(SDL_JoystickGetAxis(joystick, 0) + kAxisOffset)
                           : kAxisOffset;
    info.dwYpos = axes > 1 ? static_cast<uint32_t>(SDL_JoystickGetAxis(joystick, 1) + kAxisOffset)
                           : kAxisOffset;
    const int buttons = std::min(SDL_JoystickNumButtons(joystick), kMaxButtons);
    uint32_t mask = 0;
    uint32_t pressed = 0;
    for (int button = 0; button < buttons; ++button) {
        if (SDL_JoystickGetButton(joystick, button) == 0) continue;
        mask |= 1u << button;
        ++pressed;
    }
    info.dwButtons = mask;
    info.dwButtonNumber = pressed;
    return JOYERR_NOERROR;
}

uint32_t SdlJoysticks::GetCaps(int device, JOYCAPS& caps) {
    Update();
    uint32_t error = JOYERR_NOERROR;
    SDL_Joystick* joystick = Find(device, error);
    if (joystick == nullptr) return error;
    const char* name = SDL_JoystickName(joystick);
    const int buttons = SDL_JoystickNumButtons(joystick);
    caps = JOYCAPS{};
    caps.wMid = SDL_JoystickGetVendor(joystick);
    caps.wPid = SDL_JoystickGetProduct(joystick);
    caps.szPname = CutToCodePoints(name != nullptr ? name : "", kJoystickNameLength);
    caps.wNumButtons = static_cast<uint32_t>(std::max(buttons, 0));
    return JOYERR_NOERROR;
}

}  // namespace gimbalo
