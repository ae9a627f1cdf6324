// An SDL virtual joystick attached for the life of the object. SDL's joystick
// support is the platform's, so the platform must outlive it.
#pragma once

#include <SDL.h>

namespace gimbalo::testing {

class VirtualJoystick {
public:
    VirtualJoystick(const char* name, int axes, int buttons) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = static_cast<Uint16>(axes);
        desc.nbuttons = static_cast<Uint16>(buttons);
        desc.name = name;
        device_ = SDL_JoystickAttachVirtualEx(&desc);
        if (device_ >= 0) joystick_ = SDL_JoystickOpen(device_);
    }
    ~VirtualJoystick() { Detach(); }
    VirtualJoystick(const VirtualJoystick&) = delete;
    VirtualJoystick& operator=(const VirtualJoystick&) = delete;

    bool Attached() const { return joystick_ != nullptr; }
    // SDL's device index when it was attached.
    int Device() const { return device_; }
    void SetAxes(Sint16 x, Sint16 y) {
        SDL_JoystickSetVirtualAxis(joystick_, 0, x);
        SDL_JoystickSetVirtualAxis(joystick_, 1, y);
    }
    void SetButton(int button, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? SDL_PRESSED : SDL_RELEASED);
    }
    void Detach() {
        if (joystick_ == nullptr) return;
        const SDL_JoystickID instance = SDL_JoystickInstanceID(joystick_);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == instance) SDL_JoystickDetachVirtual(i);
    }

private:
    int device_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

// Skips a test that needs its virtual joystick to be device 0.
#define SKIP_WITH_A_REAL_JOYSTICK()                                                     \
    if (SDL_NumJoysticks() > 0)                                                         \
    GTEST_SKIP() << "a joystick is plugged in, so the test's virtual one would not be " \
                    "device 0; unplug it to run this test"

}  // namespace gimbalo::testing
