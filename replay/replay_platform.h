// The desktop with scripted joysticks: wraps a desktop's own platform, hands
// it on whatever the replay leaves as it is, and puts the script in place of
// what a user or a joystick would do. Before each tick of the program's
// polling timer the script's readings and commands for that tick are
// applied, so a run repeats without hardware; menu commands come from the
// script and file dialogs take its answers, so nothing waits for a user.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "platform/platform.h"
#include "replay/session.h"

namespace gimbalo {

class ReplayDesktop;
class TimerDispatch;
class Timer;

class ReplayPlatform : public Platform {
public:
    // Wraps `desktop`, whose timer ticks run through `ticks`; `joysticks`
    // are the script's joysticks on it. They and the script must outlive
    // this. `trace`, when not null, receives one line per polling tick
    // (replay/trace.h). The settings live in `settingsFolder`. With `poll`
    // the program never rests: it polls every 5 ms as plain polling does,
    // for comparisons.
    ReplayPlatform(Platform& desktop, TimerDispatch& ticks, ReplayDesktop& joysticks,
                   const Script& script, std::FILE* trace, std::string settingsFolder, bool poll);
    ~ReplayPlatform() override;
    ReplayPlatform(const ReplayPlatform&) = delete;
    ReplayPlatform& operator=(const ReplayPlatform&) = delete;

    // The program's polling timer: each of its ticks plays the script.
    void SetPollingTimer(const Timer& timer) { session_.SetPollingTimer(timer); }
    // How the script's menu commands reach the program: `run` chooses the
    // named item and says whether it ran.
    void SetMenuCommandRunner(std::function<bool(const std::string&)> run);
    // Writes the trace's closing line: ticks run, pointer, events since.
    // Whether the whole trace was written; when a line cannot be, the
    // program closes as at the script's quit.
    bool TraceEnd() { return session_.TraceEnd(); }

    // -- what the replay changes --
    // Only the script's joysticks answer; the reads and the button events
    // go to the trace.
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
    // A replay is no reason to change what the desktop starts at login: the
    // entry is left alone, with a note on the standard error, and the call
    // succeeds as the program expects.
    bool WriteAutostart(const std::string& name, const std::string& executablePath) override;
    bool DeleteAutostart(const std::string& name) override;
    std::string SettingsFolder() override { return settingsFolder_; }
    // The scripted joystick is watched as a real one is; while the program
    // rests it also reports one period before the script's next step is
    // due, so the tick that reads the step runs when plain polling would
    // have run it.
    bool WatchJoystick(int device, std::function<void()> wake) override;

    // -- the desktop's own --
    bool GetCursorPos(POINT& point) override { return desktop_.GetCursorPos(point); }
    bool SetCursorPos(int32_t x, int32_t y) override { return desktop_.SetCursorPos(x, y); }
    bool MoveCursorBy(int32_t dx, int32_t dy) override { return desktop_.MoveCursorBy(dx, dy); }
    uint32_t PointerState() override { return desktop_.PointerState(); }
    void LoadForm(Form& form) override { desktop_.LoadForm(form); }
    void UnloadForm(Form& form) override { desktop_.UnloadForm(form); }
    void EndProgram() override { desktop_.EndProgram(); }
    bool ProgramEnded() const override { return desktop_.ProgramEnded(); }
    MenuHandle GetMenu(Form& form) override { return desktop_.GetMenu(form); }
    MenuHandle GetSubMenu(MenuHandle menu, int position) override {
        return desktop_.GetSubMenu(menu, position);
    }
    uint32_t GetMenuItemID(MenuHandle menu, int position) override {
        return desktop_.GetMenuItemID(menu, position);
    }
    bool SetMenuItemBitmaps(MenuHandle menu, uint32_t item, uint32_t flags,
                            int32_t uncheckedPicture, int32_t checkedPicture) override {
        return desktop_.SetMenuItemBitmaps(menu, item, flags, uncheckedPicture, checkedPicture);
    }
    void ShowPopupMenu(Form& form) override { desktop_.ShowPopupMenu(form); }
    int32_t LoadPicture(const std::string& fileName) override {
        return desktop_.LoadPicture(fileName);
    }
    bool Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) override {
        return desktop_.Shell_NotifyIconA(message, data);
    }
    bool StartProgram(const std::string& commandLine, int showStyle) override {
        return desktop_.StartProgram(commandLine, showStyle);
    }
    int GetLocaleInfoA(uint32_t locale, uint32_t type, char* buffer, int size) override {
        return desktop_.GetLocaleInfoA(locale, type, buffer, size);
    }
    void InitCommonControls() override { desktop_.InitCommonControls(); }
    bool UsesVisualStylesManifest() const override { return desktop_.UsesVisualStylesManifest(); }
    bool AnotherInstanceRunning() override { return desktop_.AnotherInstanceRunning(); }
    int TwipsPerPixelX() override { return desktop_.TwipsPerPixelX(); }
    bool TextIsUtf8() const override { return desktop_.TextIsUtf8(); }
    AnsiDecoder AnsiText() const override { return desktop_.AnsiText(); }
    char PathSeparator() const override { return desktop_.PathSeparator(); }
    std::string ProgramFolder() override { return desktop_.ProgramFolder(); }
    std::string ExecutablePath() override { return desktop_.ExecutablePath(); }
    std::string ExecutableName() override { return desktop_.ExecutableName(); }
    ProductVersion GetProductVersion() override { return desktop_.GetProductVersion(); }
    bool FileExists(const std::string& path) override { return desktop_.FileExists(path); }
    bool SetFileAttributesA(const std::string& path, uint32_t attributes) override {
        return desktop_.SetFileAttributesA(path, attributes);
    }
    void StopWatchingJoystick() override { desktop_.StopWatchingJoystick(); }
    uint32_t GetTickCount() override { return desktop_.GetTickCount(); }

private:
    // Closes the program as the desktop's close request does.
    void Close();

    Platform& desktop_;
    TimerDispatch& ticks_;
    ReplayDesktop& joysticks_;
    std::string settingsFolder_;
    bool poll_;
    std::function<void()> closeMainWindow_;
    ReplaySession session_;
};

}  // namespace gimbalo
