#include "core/polling_loop.h"

#include <cmath>
#include <limits>

#include "core/numbers.h"

namespace gimbalo {

namespace {
// A stick reading that moves nothing, for a device that did not answer.
constexpr uint32_t kCentre = 32767;

bool AboveHighThreshold(uint32_t reading) {
    return static_cast<uint64_t>(reading) + kLowThreshold > 64000;
}

bool NoButton(uint32_t mask) {
    // Read as a signed number: the top bit alone counts as no button.
    return static_cast<int32_t>(mask) <= 0;
}

bool MaskIsButton(uint32_t mask, int16_t button) {
    // Whole-mask equality with 2^(button-1): a mask of several buttons, or a
    // button number of 0 or less, never matches.
    return static_cast<double>(mask) == std::pow(2.0, static_cast<double>(button) - 1.0);
}
}  // namespace

PollingLoop::PollingLoop(Platform& platform, const Settings& settings)
    : platform_(platform), settings_(settings), Pointer(platform) {}

JoystickRead ReadJoystickInUse(Platform& platform, int16_t joystickIndex, JOYINFOEX& info) {
    info.dwSize = 52;
    info.dwFlags = JOY_RETURNALL;
    JoystickRead read{joystickIndex, JOYERR_PARMS};
    if (joystickIndex != 0) {
        read.result = platform.joyGetPosEx(joystickIndex, info);
        if (read.result == JOYERR_NOERROR) return read;
    }
    read.device = 0;
    read.result = platform.joyGetPosEx(0, info);
    return read;
}

JoystickRead PollingLoop::ReadJoystick(JOYINFOEX& info) {
    return ReadJoystickInUse(platform_, settings_.JoystickIndex, info);
}

void PollingLoop::Timer1_Timer() {
    const int lastDevice = lastRead_.device;
    lastRead_ = ReadJoystick(JoyInfo);
    // Buttons held on a joystick the tick no longer reads go up first, as on
    // a tick without buttons: they belong to a device that went, or that gave
    // way to the joystick in use.
    if (lastRead_.device != lastDevice) HandleButtons(0);
    const uint32_t read = lastRead_.result;
    if (read != JOYERR_NOERROR) {
        // A joystick that is gone counts as a centred stick with no button:
        // a held mouse button is let go and the pointer stops.
        JoyInfo.dwXpos = kCentre;
        JoyInfo.dwYpos = kCentre;
        JoyInfo.dwButtons = 0;
    }
    bool moved = false;
    MoveAlongAxes(JoyInfo.dwXpos, JoyInfo.dwYpos, moved);
    UpdateStep(moved);
    HandleButtons(JoyInfo.dwButtons);
    lastTickAtRest_ = !moved && NoButton(JoyInfo.dwButtons);
}

bool ReadingAtRest(uint32_t result, const JOYINFOEX& info) {
    if (result != JOYERR_NOERROR) return true;
    return info.dwXpos >= kLowThreshold && !AboveHighThreshold(info.dwXpos) &&
           info.dwYpos >= kLowThreshold && !AboveHighThreshold(info.dwYpos) &&
           NoButton(info.dwButtons);
}

void PollingLoop::MoveAlongAxes(uint32_t h, uint32_t v, bool& moved) {
    const double step = static_cast<double>(step_);
    // Each coordinate is read afresh and set at once, with the other one
    // read in the same look; a write that fails (a result beyond 32 bits)
    // leaves the pointer where it is.
    if (h < kLowThreshold) {
        Pointer.MoveX(-step);
        moved = true;
    }
    if (AboveHighThreshold(h)) {
        Pointer.MoveX(step);
        moved = true;
    }
    if (v < kLowThreshold) {
        Pointer.MoveY(-step);
        moved = true;
    }
    if (AboveHighThreshold(v)) {
        Pointer.MoveY(step);
        moved = true;
    }
}

void PollingLoop::UpdateStep(bool moved) {
    if (!moved) {
        step_ = static_cast<float>(SpeedValue(settings_.SpeedSetting));
        if (step_ == 0.0f) step_ = 2.0f;
        moveTicks_ = 0;
        return;
    }
    if (settings_.Acceleration != 1) return;
    if (moveTicks_ == std::numeric_limits<int32_t>::max()) return;  // the count would overflow
    ++moveTicks_;
    double factor = 1.0;
    switch (moveTicks_) {
        case 20:
            factor = 1.4;
            break;
        case 40:
            factor = 1.45;
            break;
        case 60:
            factor = 1.5;
            break;
        case 80:
            factor = 1.55;
            break;
        default:
            return;
    }
    step_ = static_cast<float>(static_cast<double>(step_) * factor);
}

void PollingLoop::HandleButtons(uint32_t mask) {
    if (NoButton(mask)) {
        ReleaseHeldButton();
        lastButtons_ = 0;
        return;
    }
    if (static_cast<int64_t>(mask) == static_cast<int64_t>(lastButtons_)) return;
    if (MaskIsButton(mask, settings_.LeftButton)) Press(kLeft);
    if (MaskIsButton(mask, settings_.RightButton)) Press(kRight);
    if (MaskIsButton(mask, settings_.MiddleButton)) Press(kMiddle);
    // The button mask is kept in 16 bits: from 32768 on it does not fit and
    // the previous value stays, so the press tests run again next tick.
    if (mask <= 32767) lastButtons_ = static_cast<int16_t>(mask);
}

void PollingLoop::Press(const MouseButton& button) {
    // A button already down gets no second down event: on the desktop two
    // downs in a row make a double click, and a joystick button from 16 on
    // (a mask that does not fit LastButtons) would repeat one every tick.
    if (!(held_ & button.down)) platform_.mouse_event(button.down, 0, 0, 0, 0);
    held_ |= button.down;
    marker_ = button.which;
}

void PollingLoop::Release(const MouseButton& button) {
    platform_.mouse_event(button.up, 0, 0, 0, 0);
    held_ &= ~button.down;
}

void PollingLoop::ReleaseHeldButton() {
    // The button the marker names goes up first. Any other button pressed
    // since the last release (one joystick button straight after another, or
    // two mouse buttons mapped to the same joystick button) goes up too, so
    // none is left held down on the desktop.
    for (const MouseButton* button : {&kLeft, &kRight, &kMiddle})
        if (button->which == marker_) Release(*button);
    for (const MouseButton* button : {&kLeft, &kRight, &kMiddle})
        if (held_ & button->down) Release(*button);
    marker_ = HeldButton::None;
}

}  // namespace gimbalo
