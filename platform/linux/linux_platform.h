// The Linux desktop: Qt 6 Widgets for windows, timers, the tray and dialogs,
// SDL2 for joysticks, X11 XTest or, on a Wayland session, a virtual device on
// /dev/uinput for the pointer and the mouse buttons (desktop_session.h).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/common/timer_dispatch.h"
#include "platform/platform.h"

class QApplication;
class QLockFile;
class QWidget;

namespace gimbalo {

class FormHost;
class JoystickNews;
class PictureStore;
class PointerDevice;
class SdlJoysticks;
class TrayIcons;

class LinuxPlatform : public Platform {
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

    // -- forms and the message loop --
    void LoadForm(Form& form) override;
    void UnloadForm(Form& form) override;
    void RunMessageLoop(const std::function<void()>& closeMainWindow) override;
    void EndProgram() override;
    bool ProgramEnded() const override;
    int MessageBox(const std::string& text, uint32_t style, const std::string& title) override;
    // Whether a message box has also said its text on the standard error
    // (a box without words says nothing there).
    bool MessageSaidOnTerminal() const { return messageSaidOnTerminal_; }

    // -- menus (linux_menus.cpp) --
    MenuHandle GetMenu(Form& form) override;
    MenuHandle GetSubMenu(MenuHandle menu, int position) override;
    uint32_t GetMenuItemID(MenuHandle menu, int position) override;
    bool SetMenuItemBitmaps(MenuHandle menu, uint32_t item, uint32_t flags,
                            int32_t uncheckedPicture, int32_t checkedPicture) override;
    void ShowPopupMenu(Form& form) override;
    int32_t LoadPicture(const std::string& fileName) override;
    // The pictures LoadPicture handed out, by handle (picture_store.cpp).
    PictureStore& Pictures();

    // -- shell (linux_shell.cpp) --
    bool Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) override;
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
    bool AnotherInstanceRunning() override;
    int TwipsPerPixelX() override;

    // -- text and files (linux_files.cpp) --
    bool TextIsUtf8() const override { return true; }
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
    // The window a dialog of `form` stands over: null when the form has none
    // on the screen (linux_file_dialogs.cpp).
    QWidget* DialogOwner(Form* form) const;

    // Qt keeps a reference to the argument count and the vector for the
    // life of the application, so the platform owns its copies.
    int argc_ = 0;
    std::vector<std::string> arguments_;
    std::vector<char*> argv_;

    // Declared in the order they are built; destroyed in reverse, so the
    // pointer lets go of held buttons and Qt objects go before Qt itself.
    std::unique_ptr<PointerDevice> pointer_;
    std::unique_ptr<QApplication> application_;
    bool sdlStarted_ = false;
    std::unique_ptr<SdlJoysticks> joysticks_;
    std::unique_ptr<JoystickNews> news_;
    std::unique_ptr<QLockFile> instanceLock_;
    bool instanceChecked_ = false;
    bool anotherInstance_ = false;
    std::map<Form*, std::unique_ptr<FormHost>> hosts_;
    std::unique_ptr<PictureStore> pictures_;
    std::unique_ptr<TrayIcons> tray_;
    bool ended_ = false;
    bool messageSaidOnTerminal_ = false;
    TimerDispatch timers_{*this};
};

}  // namespace gimbalo
