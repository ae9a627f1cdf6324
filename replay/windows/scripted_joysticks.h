// The script's joysticks on the Windows desktop: a scripted source in place
// of winmm's joyGetPosEx and joyGetDevCapsA, and work posted to the hidden
// window to run once the tick has returned. The Windows program never rests
// (it cannot watch the joystick), so the scripted joystick has nothing to
// report between ticks.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "replay/replay_desktop.h"
#include "replay/script.h"

namespace gimbalo {

class WindowsPlatform;

class ScriptedJoysticks : public ReplayDesktop {
public:
    // The script's joysticks on `desktop`, which must outlive them.
    ScriptedJoysticks(WindowsPlatform& desktop, const Script& script);
    ~ScriptedJoysticks() override;
    ScriptedJoysticks(const ScriptedJoysticks&) = delete;
    ScriptedJoysticks& operator=(const ScriptedJoysticks&) = delete;

    uint32_t joyGetPosEx(int device, JOYINFOEX& info) override;
    uint32_t joyGetDevCapsA(int device, JOYCAPS& caps) override;
    void SetReading(const StickReading& reading) override { reading_ = reading; }
    void Unplug() override;
    void ReportInputIn(int, std::function<void()>) override {}
    void CancelInputReport() override {}
    void Post(std::function<void()> work) override;

private:
    struct ScriptedJoystick {
        std::string name;
        int buttons = 0;
        bool present = true;
    };

    // The joystick at `device`, null when there is none or it was unplugged.
    const ScriptedJoystick* Present(int device) const;

    WindowsPlatform& desktop_;
    std::vector<ScriptedJoystick> joysticks_;  // by device number
    StickReading reading_;                     // what device 0 reports
    std::deque<std::function<void()>> posted_;
};

}  // namespace gimbalo
