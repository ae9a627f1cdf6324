#include "platform/linux/sdl_joysticks.h"

#include <SDL.h>

#include <algorithm>

#include "platform/common/text_encoding.h"

namespace gimbalo {

namespace {
constexpr int kAxisOffset = 32768;  // -32768..32767 becomes 0..65535
constexpr int kMaxButtons = 32;     // bits of the button mask
}  // namespace

SdlJoysticks::~SdlJoysticks() {
    for (Slot& slot : slots_)
        if (slot.joystick != nullptr) SDL_JoystickClose(slot.joystick);
}

namespace {
// SDL's device index of the joystick with `instance`, -1 when it is gone.
int IndexOf(SDL_JoystickID instance) {
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == instance) return index;
    return -1;
}
}  // namespace

void SdlJoysticks::Update() {
    lastRead_.reset();
    SDL_JoystickUpdate();
    for (Slot& slot : slots_) {
        if (slot.instance < 0) continue;
        const bool gone = slot.joystick != nullptr ? !SDL_JoystickGetAttached(slot.joystick)
                                                   : IndexOf(slot.instance) < 0;
        if (!gone) continue;
        if (slot.joystick != nullptr) SDL_JoystickClose(slot.joystick);
        slot = Slot{};
    }
    // New joysticks, in SDL's order, take the lowest free numbers.
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(index);
        if (instance < 0) continue;
        Slot* free = nullptr;
        bool numbered = false;
        for (Slot& slot : slots_) {
            if (slot.instance == instance) {
                numbered = true;
                break;
            }
            if (slot.instance < 0 && free == nullptr) free = &slot;
        }
        if (!numbered && free != nullptr) free->instance = instance;
    }
}

SDL_Joystick* SdlJoysticks::Find(int device, uint32_t& error) {
    if (device < 0 || device >= kMaxDevices) {
        error = JOYERR_PARMS;
        return nullptr;
    }
    Slot& slot = slots_[static_cast<std::size_t>(device)];
    if (slot.joystick != nullptr) return slot.joystick;
    const int index = slot.instance < 0 ? -1 : IndexOf(slot.instance);
    if (index >= 0) slot.joystick = SDL_JoystickOpen(index);
    if (slot.joystick == nullptr) error = JOYERR_UNPLUGGED;
    return slot.joystick;
}

int SdlJoysticks::DeviceOf(int32_t instance) {
    if (instance < 0) return -1;
    // SDL is asked again only for a joystick not numbered yet: a read that
    // follows brings everything up to date anyway, and each update costs
    // SDL's look for joysticks coming and going.
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t device = 0; device < slots_.size(); ++device)
            if (slots_[device].instance == instance) return static_cast<int>(device);
        if (pass == 0) Update();
    }
    return -1;
}

SdlJoysticks::Node SdlJoysticks::NodeOf(int device) {
    Node node;
    node.instance = InstanceOf(device);
#if SDL_VERSION_ATLEAST(2, 24, 0)
    const int index = node.instance < 0 ? -1 : IndexOf(node.instance);
    const char* path = index < 0 ? nullptr : SDL_JoystickPathForIndex(index);
    if (path != nullptr) node.path = path;
#endif
    return node;
}

int32_t SdlJoysticks::InstanceOf(int device) const {
    if (device < 0 || device >= kMaxDevices) return -1;
    return slots_[static_cast<std::size_t>(device)].instance;
}

uint32_t SdlJoysticks::GetPos(int device, JOYINFOEX& info) {
    Update();
    return GetPosAsLastUpdated(device, info);
}

uint32_t SdlJoysticks::GetPosAsLastUpdated(int device, JOYINFOEX& info) {
    // SDL's readings change only in its update: until the next one, the same
    // device reads as it did.
    if (!lastRead_ || lastRead_->device != device) lastRead_ = Read(device);
    if (lastRead_->result != JOYERR_NOERROR) return lastRead_->result;
    info.dwXpos = lastRead_->x;
    info.dwYpos = lastRead_->y;
    info.dwButtons = lastRead_->buttons;
    info.dwButtonNumber = lastRead_->pressed;
    return JOYERR_NOERROR;
}

SdlJoysticks::Reading SdlJoysticks::Read(int device) {
    Reading reading{device};
    SDL_Joystick* joystick = Find(device, reading.result);
    if (joystick == nullptr) return reading;

    const int axes = SDL_JoystickNumAxes(joystick);
    reading.x = axes > 0 ? static_cast<uint32_t>(SDL_JoystickGetAxis(joystick, 0) + kAxisOffset)
                         : kAxisOffset;
    reading.y = axes > 1 ? static_cast<uint32_t>(SDL_JoystickGetAxis(joystick, 1) + kAxisOffset)
                         : kAxisOffset;
    const int buttons = std::min(SDL_JoystickNumButtons(joystick), kMaxButtons);
    for (int button = 0; button < buttons; ++button) {
        if (SDL_JoystickGetButton(joystick, button) == 0) continue;
        reading.buttons |= 1u << button;
        ++reading.pressed;
    }
    return reading;
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
    // SDL gives names in UTF-8.
    caps.szPname = FirstCharacters(name != nullptr ? name : "", kJoystickNameLength, true);
    caps.wNumButtons = static_cast<uint32_t>(std::max(buttons, 0));
    return JOYERR_NOERROR;
}

}  // namespace gimbalo
