// The Linux desktop with scripted joysticks: SDL virtual joysticks stand in
// for real ones, and before each polling tick the script's readings and
// commands for that tick are applied, so a run repeats without hardware.
// Menu commands come from the script and file dialogs take the script's
// answers, so nothing waits for a user.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/linux_platform.h"
#include "replay/player.h"
#include "replay/script.h"
#include "replay/session.h"

class QTimer;
struct _SDL_Joystick;

namespace gimbalo {

class ReplayPlatform : public LinuxPlatform, private ReplayDesktop {
public:
    // Starts the desktop and attaches the script's joysticks. `trace`, when
    // not null, receives one line per polling tick (replay/trace.h). The
    // script must outlive the platform. The settings live in
    // `settingsFolder`, or when it is empty in a fresh temporary folder that
    // goes with the platform, never in the user's own. Nothing, with `error`
    // set to one line, when the desktop cannot be reached or the settings
    // folder cannot be made.
    // With `poll` the program never rests: it polls every 5 ms as plain
    // polling does, for comparisons.
    static std::unique_ptr<ReplayPlatform> Create(int& argc, char** argv, const Script& script,
                                                  std::FILE* trace,
                                                  const std::string& settingsFolder, bool poll,
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

    // Nobody is there to pick a file: the script's next answer is taken, and
    // without one the dialog is cancelled with a note on the standard error.
    bool GetOpenFileNameA(OPENFILENAME& record) override;
    bool GetSaveFileNameA(OPENFILENAME& record) override;

    // The scripted joystick is watched as a real one is: its own descriptor
    // (a pipe) becomes readable when it reports, which it does whenever its
    // readings change. While the program rests, it also reports one period
    // before its next step is due, so the tick that reads the step runs when
    // plain polling would have run it.
    bool WatchJoystick(int device, std::function<void()> wake) override;

    // A replay is no reason to change what the desktop starts at login: the
    // entry is left alone, with a note on the standard error, and the call
    // succeeds as the program expects.
    bool WriteAutostart(const std::string& name, const std::string& executablePath) override;
    bool DeleteAutostart(const std::string& name) override;
    std::string SettingsFolder() override;

    // How the script's menu commands reach the program: `run` chooses the
    // named item and says whether it ran.
    void SetMenuCommandRunner(std::function<bool(const std::string&)> run);

    // Writes the trace's closing line: ticks run, pointer, events since.
    // Whether the whole trace was written; when a line cannot be, the
    // program closes as at the script's quit.
    bool TraceEnd();

protected:
    void DispatchTimer(Timer& timer) override;
    JoystickInput InputToWatch(int device) override;

private:
    // -- ReplayDesktop --
    void SetReading(const StickReading& reading) override;
    void Unplug() override;
    void Post(std::function<void()> work) override;
    void Close() override;
    void ReportInputIn(int milliseconds) override;
    void CancelInputReport() override;

    struct VirtualJoystick {
        int32_t instance = -1;            // SDL instance id
        _SDL_Joystick* handle = nullptr;  // null once unplugged
        int buttons = 0;
    };

    ReplayPlatform(const Script& script, std::FILE* trace, bool poll);
    bool AttachJoysticks(std::string& error);
    bool PrepareSettingsFolder(const std::string& chosen, std::string& error);
    // The SDL device index of a scripted device, -1 when it is not there.
    int SdlIndex(int device) const;
    // The desktop's device number of a scripted device, -1 when it is not
    // there.
    int DesktopDevice(int device) const;
    // The scripted joystick's node becomes readable.
    void Report();

    const Script& script_;
    ReplaySession session_;
    std::string settingsFolder_;
    bool settingsFolderIsTemporary_ = false;
    std::vector<VirtualJoystick> joysticks_;  // by device number
    std::function<void()> closeMainWindow_;
    // Resting.
    bool poll_;
    int reportRead_ = -1;  // the scripted joystick's descriptor, watched
    int reportWrite_ = -1;
    std::unique_ptr<QTimer> report_;  // reports the next step during a rest
};

}  // namespace gimbalo
