// The polling tick: reads the joystick in use, moves the pointer when the stick
// is near an end of its travel, grows the step while it is held, and turns the
// mapped joystick buttons into single mouse-button down and up events.
#pragma once

#include <cstdint>

#include "core/mouse.h"
#include "core/settings.h"
#include "platform/platform.h"

namespace gimbalo {

// Readings below the low threshold or above the high one move the pointer.
constexpr uint32_t kLowThreshold = 150;
constexpr uint32_t kHighThreshold = 63850;

// Whether a read of the joystick (its result and record) is one on which a
// tick moves nothing and presses nothing: a failed read, or the stick within
// both thresholds on both axes with no button down.
bool ReadingAtRest(uint32_t result, const JOYINFOEX& info);

// Which device a read of the joystick in use reached, and what it answered.
struct JoystickRead {
    int device = 0;
    uint32_t result = JOYERR_PARMS;
};

// Reads the joystick in use, device `joystickIndex`, into `info`; when no
// joystick answers to that number, device 0 instead.
//
// The choice is made afresh on every read, by the read's own result, not once
// from the joysticks counted at start-up: a joystick in use that is unplugged
// hands the pointer to device 0 at once, and one plugged in again takes it
// back at the next tick. A tick that reads another device than the tick
// before first lets go of the buttons it holds (see Timer1_Timer), so no
// button stays held by a device that is no longer read. A number that no
// joystick has (a second pad chosen once, a -1 from a list with nothing
// selected) reads device 0, as every setup did before the choice reached
// the loop.
JoystickRead ReadJoystickInUse(Platform& platform, int16_t joystickIndex, JOYINFOEX& info);

// The held-button marker: the mouse button the loop pressed last and has not
// let go of yet.
enum class HeldButton { None, Left, Right, Middle };

class PollingLoop {
public:
    PollingLoop(Platform& platform, const Settings& settings);

    void Timer1_Timer();

    // Sends the up events of the mouse buttons the loop holds down, if any;
    // runs on every tick without a joystick button and when the program closes.
    void ReleaseHeldButton();

    float Step() const { return step_; }
    int32_t MoveTicks() const { return moveTicks_; }
    int16_t LastButtons() const { return lastButtons_; }
    HeldButton Held() const { return marker_; }
    // Whether the last tick's reading was at rest (ReadingAtRest). Such a
    // tick leaves the loop where more ticks at rest, with the settings as
    // they are, change nothing.
    bool LastTickAtRest() const { return lastTickAtRest_; }
    // The device the last tick read, and its answer.
    JoystickRead LastRead() const { return lastRead_; }
    // Reads the joystick in use as a tick does, with the settings as they are.
    JoystickRead ReadJoystick(JOYINFOEX& info);

private:
    struct MouseButton {
        HeldButton which;
        uint32_t down;
        uint32_t up;
    };
    static constexpr MouseButton kLeft{HeldButton::Left, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    static constexpr MouseButton kRight{HeldButton::Right, MOUSEEVENTF_RIGHTDOWN,
                                        MOUSEEVENTF_RIGHTUP};
    static constexpr MouseButton kMiddle{HeldButton::Middle, MOUSEEVENTF_MIDDLEDOWN,
                                         MOUSEEVENTF_MIDDLEUP};

    void Press(const MouseButton& button);
    void Release(const MouseButton& button);
    void MoveAlongAxes(uint32_t h, uint32_t v, bool& moved);
    void UpdateStep(bool moved);
    void HandleButtons(uint32_t mask);

    Platform& platform_;
    const Settings& settings_;
    JOYINFOEX JoyInfo;
    Mouse Pointer;
    float step_ = 0.0f;
    int32_t moveTicks_ = 0;
    int16_t lastButtons_ = 0;
    uint32_t held_ = 0;  // down flags of the mouse buttons pressed and not yet let go
    HeldButton marker_ = HeldButton::None;
    bool lastTickAtRest_ = false;
    JoystickRead lastRead_;
};

}  // namespace gimbalo
