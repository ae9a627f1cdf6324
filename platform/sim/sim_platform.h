// An in-memory desktop for tests. Tests set what the desktop holds (joysticks
// and their readings, dialog answers, the locale); the program reaches it
// through the ordinary interface; the sim records what the program did.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/common/desktop_platform.h"
#include "platform/forms.h"

namespace gimbalo {

struct SimJoystick {
    std::string name;
    uint32_t buttons = 0;
    bool present = true;
    JOYINFOEX reading;  // what the next reads report
};

struct SimMessageBox {
    std::string text;
    uint32_t style = 0;
    std::string title;
};

struct SimStartedProgram {
    std::string commandLine;
    int showStyle = 0;
};

struct SimTrayCall {
    uint32_t message = 0;
    NOTIFYICONDATA data;
};

// One showing of a popup menu, as the user saw it.
struct SimMenuEntry {
    std::string name;
    std::string caption;
    bool separator = false;
    int32_t picture = 0;
};
struct SimShownMenu {
    Form* form = nullptr;
    std::string menu;
    std::vector<SimMenuEntry> items;
};

struct SimTrayIcon {
    Form* window = nullptr;
    uint32_t id = 0;
    int32_t icon = 0;
    std::string tip;
    uint32_t callbackMessage = 0;
};

class SimPlatform : public DesktopPlatform {
public:
    // `folder`: the program folder and the settings folder both, a real
    // folder on disk that the test owns.
    explicit SimPlatform(std::string folder);
    ~SimPlatform() override;

    // ---- what the test sets ----
    // Adds a joystick at the next device number; returns that number.
    int AddJoystick(const std::string& name, uint32_t buttons);
    SimJoystick& Joystick(int device) { return joysticks_.at(static_cast<std::size_t>(device)); }
    // Sets the reading of device 0 (or another) for the following reads.
    void SetStick(uint32_t x, uint32_t y, uint32_t buttons, int device = 0);
    void SetScreen(int32_t width, int32_t height);
    void SetPointer(int32_t x, int32_t y);
    void SetCountryName(std::optional<std::string> englishName) {
        country_ = std::move(englishName);
    }
    // The count GetLocaleInfoA reports in place of the true one, as a faulty
    // desktop might; nothing: the true count.
    void SetLocaleAnswerCount(std::optional<int> count) { localeAnswerCount_ = count; }
    void SetAnotherInstanceRunning(bool running) { anotherInstance_ = running; }
    void SetAutostartWritable(bool writable) { autostartWritable_ = writable; }
    // Answers for the next file dialogs, in order: a file buffer with NULs, or
    // nothing for a cancel. With none queued a dialog is cancelled.
    void QueueDialogAnswer(std::optional<std::string> fileBuffer, uint32_t flags = 0);
    void SetExecutable(std::string folder, std::string name);
    // The item the user chooses from the next popup menu shown, by name; with
    // none queued the menu is dismissed.
    void QueueMenuChoice(std::string itemName) { menuChoices_.push_back(std::move(itemName)); }
    // False stands for a desktop that cannot watch its joysticks (the program
    // then polls); true (the default) for one that can: a change of any
    // joystick's presence, or of the watched one's reading, wakes the program
    // at the next step of AdvanceTime, before time moves on.
    void SetJoysticksWatchable(bool watchable) { watchable_ = watchable; }

    // ---- what the program did ----
    std::vector<uint32_t> buttonEvents;
    std::vector<SimMessageBox> messageBoxes;
    std::vector<SimStartedProgram> startedPrograms;
    std::vector<SimTrayCall> trayCalls;
    std::vector<OPENFILENAME> dialogs;             // records as the program handed them in
    std::vector<bool> dialogsOpen;                 // per dialog: open (true) or save
    std::map<std::string, std::string> autostart;  // name -> executable path
    int popupMenusShown = 0;
    std::vector<SimShownMenu> shownMenus;
    int commonControlsInitialised = 0;
    std::map<std::string, uint32_t> fileAttributes;
    int joystickWakes = 0;  // wakes delivered to a watching program

    bool WatchingJoystick() const { return static_cast<bool>(wake_); }

    POINT Pointer() const { return pointer_; }
    const std::vector<SimTrayIcon>& TrayIcons() const { return trayIcons_; }
    bool FormLoaded(const Form& form) const { return HostOf(form) != nullptr; }

    // Advances the clock: every loaded form's running timer fires once per
    // whole period that passes; a timer started anew counts its period from
    // then. A due wake comes first, at the present moment.
    void AdvanceTime(int milliseconds);

    // ---- Platform ----
    uint32_t joyGetPosEx(int device, JOYINFOEX& info) override;
    uint32_t joyGetDevCapsA(int device, JOYCAPS& caps) override;
    bool GetCursorPos(POINT& point) override;
    bool SetCursorPos(int32_t x, int32_t y) override;
    void mouse_event(uint32_t flags, uint32_t dx, uint32_t dy, uint32_t data,
                     uintptr_t extraInfo) override;
    void RunMessageLoop(const std::function<void()>& closeMainWindow) override;
    void EndProgram() override { ended_ = true; }
    bool ProgramEnded() const override { return ended_; }
    int MessageBox(const std::string& text, uint32_t style, const std::string& title) override;
    int32_t LoadPicture(const std::string& fileName) override;
    // Noted in trayCalls; the icons as the shell keeps them in TrayIcons.
    bool Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) override;
    bool StartProgram(const std::string& commandLine, int showStyle) override;
    bool GetOpenFileNameA(OPENFILENAME& record) override;
    bool GetSaveFileNameA(OPENFILENAME& record) override;
    int GetLocaleInfoA(uint32_t locale, uint32_t type, char* buffer, int size) override;
    void InitCommonControls() override { ++commonControlsInitialised; }
    bool UsesVisualStylesManifest() const override { return usesManifest_; }
    // False stands for a desktop that reads no manifest (Linux).
    void SetUsesVisualStylesManifest(bool uses) { usesManifest_ = uses; }
    bool WriteAutostart(const std::string& name, const std::string& executablePath) override;
    bool DeleteAutostart(const std::string& name) override;
    bool AnotherInstanceRunning() override { return anotherInstance_; }
    int TwipsPerPixelX() override { return 15; }
    bool TextIsUtf8() const override { return utf8_; }
    void SetTextIsUtf8(bool utf8) { utf8_ = utf8; }
    char PathSeparator() const override { return separator_; }
    // Paths with another separator, to see that the program builds its paths
    // with the platform's one. The folder given to the constructor stays.
    void SetPathSeparator(char separator) { separator_ = separator; }
    std::string ProgramFolder() override { return folder_; }
    std::string SettingsFolder() override { return folder_; }
    std::string ExecutablePath() override;
    std::string ExecutableName() override { return exeName_; }
    ProductVersion GetProductVersion() override { return {1, 0, 0}; }
    bool FileExists(const std::string& path) override;
    bool SetFileAttributesA(const std::string& path, uint32_t attributes) override;
    bool WatchJoystick(int device, std::function<void()> wake) override;
    void StopWatchingJoystick() override { wake_ = nullptr; }
    // The sim's clock: milliseconds passed in AdvanceTime.
    uint32_t GetTickCount() override { return now_; }

    // Forms by name, each time one shown already was brought to the front.
    std::vector<std::string> broughtForward;

private:
    class Host;
    class Window;
    class Tray;

    std::unique_ptr<FormHost> MakeHost(Form& form) override;
    std::unique_ptr<TrayIconBook> MakeTray() override;
    MenuItem* ChooseFromPopup(Menu& menu) override;
    bool ShowDialog(OPENFILENAME& record);
    // Calls the watching program's wake when its joystick changed.
    void DeliverWake();

    std::string folder_;
    std::string exeFolder_;
    std::string exeName_ = "Gimbalo";
    std::vector<SimJoystick> joysticks_;
    bool watchable_ = true;
    int watched_ = 0;
    std::vector<SimJoystick> watchedFrom_;  // the joysticks when the watch began
    std::function<void()> wake_;
    uint32_t now_ = 0;
    POINT pointer_{640, 400};
    int32_t screenWidth_ = 1280;
    int32_t screenHeight_ = 800;
    std::optional<std::string> country_ = std::string("United Kingdom");
    std::optional<int> localeAnswerCount_;
    bool anotherInstance_ = false;
    bool autostartWritable_ = true;
    bool ended_ = false;
    bool utf8_ = true;
    bool usesManifest_ = true;
    char separator_ = '/';
    // Milliseconds since each followed timer last fired or started.
    std::map<Timer*, int> timerElapsed_;
    struct DialogAnswer {
        std::optional<std::string> buffer;
        uint32_t flags;
    };
    std::deque<DialogAnswer> dialogAnswers_;
    std::vector<SimTrayIcon> trayIcons_;
    std::map<std::string, int32_t> pictures_;
    std::deque<std::string> menuChoices_;
};

}  // namespace gimbalo
