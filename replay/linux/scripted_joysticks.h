// The script's joysticks on the Linux desktop: SDL virtual joysticks, read
// through the desktop as real ones are. Device 0 is watched through a pipe
// of its own, which becomes readable whenever its readings change, as an
// evdev node does, and while the program rests also one period before the
// script's next step is due, so the tick that reads the step runs when
// plain polling would have run it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "replay/replay_desktop.h"
#include "replay/script.h"

class QTimer;
struct _SDL_Joystick;

namespace gimbalo {

class LinuxPlatform;

class ScriptedJoysticks : public ReplayDesktop {
public:
    // Attaches the script's joysticks to `desktop`, which must outlive
    // them. Nothing, with `error` set to one line, when one cannot be
    // attached.
    static std::unique_ptr<ScriptedJoysticks> Attach(LinuxPlatform& desktop, const Script& script,
                                                     std::string& error);
    ~ScriptedJoysticks() override;
    ScriptedJoysticks(const ScriptedJoysticks&) = delete;
    ScriptedJoysticks& operator=(const ScriptedJoysticks&) = delete;

    uint32_t joyGetPosEx(int device, JOYINFOEX& info) override;
    uint32_t joyGetDevCapsA(int device, JOYCAPS& caps) override;
    void SetReading(const StickReading& reading) override;
    void Unplug() override;
    void ReportInputIn(int milliseconds, std::function<void()> reported) override;
    void CancelInputReport() override;
    void Post(std::function<void()> work) override;

private:
    struct VirtualJoystick {
        int32_t instance = -1;            // SDL instance id
        _SDL_Joystick* handle = nullptr;  // null once unplugged
        int buttons = 0;
    };

    explicit ScriptedJoysticks(LinuxPlatform& desktop);
    // The SDL device index of a scripted device, -1 when it is not there.
    int SdlIndex(int device) const;
    // The desktop's device number of a scripted device, -1 when it is not
    // there.
    int DesktopDevice(int device) const;
    // The scripted joystick's pipe becomes readable.
    void Report();

    LinuxPlatform& desktop_;
    std::vector<VirtualJoystick> joysticks_;  // by device number
    int reportRead_ = -1;                     // the scripted joystick's pipe, watched
    int reportWrite_ = -1;
    std::unique_ptr<QTimer> report_;  // reports the next step during a rest
    std::function<void()> reported_;
};

}  // namespace gimbalo
