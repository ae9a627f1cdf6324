// What a replay needs of its desktop beyond the platform it wraps: the
// scripted joysticks, and a way to run work once the current tick has
// returned. One per desktop (replay/linux, replay/windows), each only what
// the scripted joystick needs there.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/platform.h"
#include "replay/player.h"

namespace gimbalo {

class ReplayDesktop {
public:
    virtual ~ReplayDesktop() = default;
    // The script's joysticks, under the device numbers they were declared
    // with; an unplugged one stays unplugged.
    virtual uint32_t joyGetPosEx(int device, JOYINFOEX& info) = 0;
    virtual uint32_t joyGetDevCapsA(int device, JOYCAPS& caps) = 0;
    // Device 0 reports `reading` from its next read on.
    virtual void SetReading(const StickReading& reading) = 0;
    // Device 0 goes away.
    virtual void Unplug() = 0;
    // While the program rests: device 0 reports input `milliseconds` from
    // now, as a real joystick would when moved, so the resting program
    // wakes; when the time comes `reported` runs first. A new call replaces
    // an earlier one.
    virtual void ReportInputIn(int milliseconds, std::function<void()> reported) = 0;
    virtual void CancelInputReport() = 0;
    // Runs `work` from the message loop once the current tick has returned.
    virtual void Post(std::function<void()> work) = 0;
};

}  // namespace gimbalo
