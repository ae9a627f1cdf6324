// The Windows desktop with scripted joysticks: a scripted source stands
// behind joyGetPosEx and joyGetDevCapsA, and before each polling tick the
// script's readings and commands for that tick are applied, so a run repeats
// without hardware. Menu commands come from the script and file dialogs take
// the script's answers, so nothing waits for a user.
#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/windows_platform.h"
#include "replay/player.h"
#include "replay/script.h"
#include "replay/session.h"

namespace gimbalo {

class ReplayPlatform : public WindowsPlatform, private ReplayDesktop {
public:
    // Starts the desktop with the script's joysticks. `trace`, when not
    // null, receives one line per polling tick (replay/trace.h). The script
    // must outlive the platform. The settings live in `settingsFolder`, or
    // when it is empty in a fresh temporary folder that goes with the
    // platform, never beside the program. Nothing, with `error` set to one
    // line, when the desktop cannot be reached or the settings folder cannot
    // be made.
    static std::unique_ptr<ReplayPlatform> Create(HINSTANCE instance, const Script& script,
                                                  std::FILE* trace,
                                                  const std::string& settingsFolder,
                                                  std::string& error);
    ~ReplayPlatform() override;

    // Only the script's joysticks answer, under the device numbers they were
    // declared with; an unplugged one stays unplugged.
    uint32_t joyGetPosEx(int device, JOYINFOEX& info) override;
    uint32_t joyGetDevCapsA(int device, JOYCAPS& caps) override;
    void mouse_event(uint32_t flags, uint32_t dx, uint32_t dy, uint32_t data,
                     uintptr_t extraInfo) override;
    void RunMessageLoop(const std::function<void()>& closeMainWindow) override;
    // Nobody is there to press OK: the message goes to the standard error.
    int MessageBox(const std::string& text, uint32_t style, const std::string& title) override;
    // Nobody is there to pick a file: the script's next answer is taken.
    bool GetOpenFileNameA(OPENFILENAME& record) override;
    bool GetSaveFileNameA(OPENFILENAME& record) override;
    // A replay is no reason to change what starts at log-on.
    bool WriteAutostart(const std::string& name, const std::string& executablePath) override;
    bool DeleteAutostart(const std::string& name) override;
    std::string SettingsFolder() override;

    // How the script's menu commands reach the program.
    void SetMenuCommandRunner(std::function<bool(const std::string&)> run);
    // Writes the trace's closing line.
    void TraceEnd();

protected:
    void DispatchTimer(Timer& timer) override;

private:
    struct ScriptedJoystick {
        std::string name;
        int buttons = 0;
        bool present = true;
    };

    ReplayPlatform(HINSTANCE instance, const Script& script, std::FILE* trace);
    bool PrepareSettingsFolder(const std::string& chosen, std::string& error);
    // -- ReplayDesktop --
    void SetReading(const StickReading& reading) override;
    void Unplug() override;
    void Post(std::function<void()> work) override;
    void Close() override;

    ReplaySession session_;
    std::vector<ScriptedJoystick> joysticks_;  // by device number
    StickReading reading_;                     // what device 0 reports
    std::string settingsFolder_;
    bool settingsFolderIsTemporary_ = false;
    std::deque<std::function<void()>> posted_;
    std::function<void()> closeMainWindow_;
};

}  // namespace gimbalo
