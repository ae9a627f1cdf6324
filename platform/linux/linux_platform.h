// The Linux desktop: Qt 6 Widgets for windows, timers, the tray and dialogs,
// SDL2 for joysticks, X11 XTest or, on a Wayland session, a virtual device on
// /dev/uinput for the pointer and the mouse buttons (desktop_session.h).
#pragma once

#include <memory>
#include <string>

#include "platform/common/desktop_platform.h"
#include "platform/common/text_encoding.h"
#include "platform/common/timer_dispatch.h"

class QWidget;

namespace gimbalo {

class GuardianWatch;
class InstanceLock;
class JoystickNews;
class MessageBoxes;
class PictureStore;
class PointerDevice;
class QtApplication;
class QtFormHost;
class SdlJoysticks;

class LinuxPlatform : public DesktopPlatform {
public:
    // Opens the way to the pointer and starts Qt and SDL. `pointerWay` is
    // the --pointer option's value, empty when not given. Returns nothing
    // and sets `error` to one line for the user when the desktop cannot be
    // reached (no display, no XTest, no such way).
    static std::unique_ptr<LinuxPlatform> Create(int& argc, char** argv, std::string& error,
                                                 const std::string& pointerWay = "");
    ~LinuxPlatform() override;
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    // -- joystick (linux_joysticks.cpp) --
    uint32_t joyGetPosEx(int device, JOYINFOEX& info) override;
    uint32_t joyGetDevCapsA(int device, JOYCAPS& caps) override;

    // -- pointer (x11_pointer.cpp, uinput_pointer.cpp) --
    bool GetCursorPos(POINT& point) override;
    bool SetCursorPos(int32_t x, int32_t y) override;
    bool MoveCursorBy(int32_t dx, int32_t dy) override;
    void mouse_event(uint32_t flags, uint32_t dx, uint32_t dy, uint32_t data,
                     uintptr_t extraInfo) override;
    uint32_t PointerState() override;

    // -- forms and the message loop (linux_message_loop.cpp) --
    void RunMessageLoop(const std::function<void()>& closeMainWindow) override;
    void EndProgram() override;
    bool ProgramEnded() const override;
    // A warning with one OK button (message_boxes.cpp).
    int MessageBox(const std::string& text, uint32_t style, const std::string& title) override;
    // Whether a message box has also said its text on the standard error
    // (a box without words says nothing there).
    bool MessageSaidOnTerminal() const;

    // -- pictures --
    int32_t LoadPicture(const std::string& fileName) override;
    // The pictures LoadPicture handed out, by handle.
    PictureStore& Pictures() { return *pictures_; }

    // -- shell (linux_shell.cpp) --
    bool StartProgram(const std::string& commandLine, int showStyle) override;

    // -- common dialogs (linux_file_dialogs.cpp) --
    bool GetOpenFileNameA(OPENFILENAME& record) override;
    bool GetSaveFileNameA(OPENFILENAME& record) override;

    // -- system --
    int GetLocaleInfoA(uint32_t locale, uint32_t type, char* buffer, int size) override;
    void InitCommonControls() override;
    bool UsesVisualStylesManifest() const override { return false; }
    bool WriteAutostart(const std::string& name, const std::string& executablePath) override;
    bool DeleteAutostart(const std::string& name) override;
    // The lock file of instance_lock.cpp.
    bool AnotherInstanceRunning() override;
    int TwipsPerPixelX() override;

    // -- text and folders (linux_folders.cpp) --
    bool TextIsUtf8() const override { return true; }
    // Older files came from Windows; most from a Western European one.
    AnsiDecoder AnsiText() const override { return Windows1252ToUtf8; }
    char PathSeparator() const override { return '/'; }
    std::string ProgramFolder() override;
    std::string SettingsFolder() override;
    std::string ExecutablePath() override;
    std::string ExecutableName() override;
    ProductVersion GetProductVersion() override;
    bool FileExists(const std::string& path) override;
    bool SetFileAttributesA(const std::string& path, uint32_t attributes) override;

    // -- waiting for input while the stick rests (linux_joysticks.cpp) --
    bool WatchJoystick(int device, std::function<void()> wake) override;
    void StopWatchingJoystick() override;
    uint32_t GetTickCount() override;

    // -- what the replay program reaches --
    // The joysticks behind the device numbers, and what tells of their
    // input; null before Initialise.
    SdlJoysticks* Joysticks() const { return joysticks_.get(); }
    JoystickNews* News() const { return news_.get(); }
    // Where the forms' timer ticks run.
    TimerDispatch& Timers() { return timers_; }

protected:
    LinuxPlatform();
    // Connects to the display and starts Qt and SDL; Create calls it, and so
    // does a derived platform that builds itself. False with `error` set when
    // the desktop cannot be reached.
    bool Initialise(int& argc, char** argv, std::string& error, const std::string& pointerWay = "");

private:
    // The host of each loaded form, its timers ticking through Timers()
    // (linux_message_loop.cpp).
    std::unique_ptr<FormHost> MakeHost(Form& form) override;
    // The tray icons (linux_shell.cpp) and the popup menu (linux_menus.cpp).
    std::unique_ptr<TrayIconBook> MakeTray() override;
    MenuItem* ChooseFromPopup(Menu& menu) override;
    QtFormHost* QtHostOf(const Form& form) const;
    // The window a dialog of `form` stands over: null when the form has none
    // on the screen (linux_file_dialogs.cpp).
    QWidget* DialogOwner(Form* form) const;

    // Declared in the order they are built; destroyed in reverse, so the
    // pointer lets go of held buttons and Qt objects go before Qt itself.
    std::unique_ptr<PointerDevice> pointer_;
    std::unique_ptr<QtApplication> application_;  // set once Qt is up
    std::unique_ptr<GuardianWatch> guardianWatch_;
    bool sdlStarted_ = false;
    std::unique_ptr<SdlJoysticks> joysticks_;
    std::unique_ptr<JoystickNews> news_;
    std::unique_ptr<InstanceLock> instanceLock_;
    std::unique_ptr<PictureStore> pictures_;
    std::unique_ptr<MessageBoxes> messageBoxes_;
    bool ended_ = false;
    TimerDispatch timers_{*this};
};

}  // namespace gimbalo
