// The script's joysticks on the Windows desktop: a scripted source in place
// of winmm's joyGetPosEx and joyGetDevCapsA, and work posted to the hidden
// window to run once the tick has returned. Device 0 is watched as a Raw
// Input device of its own would be: whenever its readings change, and while
// the program rests also one period before the script's next step is due,
// it reports to the desktop's joystick watch, as a WM_INPUT from it would,
// so the tick that reads the step runs when plain polling would have run it.
#pragma once

#include <cstdint>
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
    void SetReading(const StickReading& reading) override;
    void Unplug() override;
    void ReportInputIn(int milliseconds, std::function<void()> reported) override;
    void CancelInputReport() override;
    void Post(std::function<void()> work) override;

private:
    struct ScriptedJoystick {
        std::string name;
        int buttons = 0;
        bool present = true;
    };

    // The joystick at `device`, null when there is none or it was unplugged.
    const ScriptedJoystick* Present(int device) const;
    // Device 0 reports, as its Raw Input device would.
    void Report();
    static void __stdcall ReportDue(void* self, unsigned char);

    WindowsPlatform& desktop_;
    std::vector<ScriptedJoystick> joysticks_;  // by device number
    StickReading reading_;                     // what device 0 reports
    std::deque<std::function<void()>> posted_;
    // The report of the next step during a rest: a timer-queue timer whose
    // end posts `reportNumber_` to the hidden window; a later number makes
    // an earlier one stale.
    void* reportTimer_ = nullptr;
    uint32_t reportNumber_ = 0;
    std::function<void()> reported_;
};

}  // namespace gimbalo
