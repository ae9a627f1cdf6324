// The Windows desktop: the Win32 API itself. winmm for joysticks, user32 for
// the pointer, windows, menus and message boxes, shell32 for the tray icon
// and starting programs, comdlg32 for file dialogs, advapi32 for the
// autostart value, WIC for the shipped pictures. Text crosses the seam as
// UTF-8 and goes to the wide (W) calls.
#pragma once

#include <memory>
#include <string>

#include "platform/common/desktop_platform.h"
#include "platform/common/timer_dispatch.h"
#include "platform/windows/win32.h"

namespace gimbalo {

class InstanceLock;
class JoystickWatch;
class PictureStore;
class SettingsFolderChoice;
class UiThreadLoop;
class Win32FormHost;
class WindowsPointer;

class WindowsPlatform : public DesktopPlatform {
public:
    // Starts COM and the common controls and makes the hidden window. Returns
    // nothing and sets `error` to one line for the user when the desktop
    // cannot be reached.
    static std::unique_ptr<WindowsPlatform> Create(HINSTANCE instance, std::string& error);
    ~WindowsPlatform() override;
    WindowsPlatform(const WindowsPlatform&) = delete;
    WindowsPlatform& operator=(const WindowsPlatform&) = delete;

    // -- joystick (windows_platform.cpp) --
    uint32_t joyGetPosEx(int device, JOYINFOEX& info) override;
    uint32_t joyGetDevCapsA(int device, JOYCAPS& caps) override;

    // Raw Input watches the joystick while the stick rests (joystick_watch.cpp).
    bool WatchJoystick(int device, std::function<void()> wake) override;
    void StopWatchingJoystick() override;
    uint32_t GetTickCount() override { return ::GetTickCount(); }

    // -- pointer (windows_pointer.cpp) --
    bool GetCursorPos(POINT& point) override;
    bool SetCursorPos(int32_t x, int32_t y) override;
    void mouse_event(uint32_t flags, uint32_t dx, uint32_t dy, uint32_t data,
                     uintptr_t extraInfo) override;

    // -- forms, the message loop and message boxes (windows_message_loop.cpp) --
    void RunMessageLoop(const std::function<void()>& closeMainWindow) override;
    void EndProgram() override;
    bool ProgramEnded() const override { return ended_; }
    int MessageBox(const std::string& text, uint32_t style, const std::string& title) override;

    // -- pictures --
    int32_t LoadPicture(const std::string& fileName) override;

    // -- shell (windows_shell.cpp) --
    bool StartProgram(const std::string& commandLine, int showStyle) override;

    // -- common dialogs (windows_file_dialogs.cpp) --
    bool GetOpenFileNameA(OPENFILENAME& record) override;
    bool GetSaveFileNameA(OPENFILENAME& record) override;

    // -- system (windows_system.cpp) --
    int GetLocaleInfoA(uint32_t locale, uint32_t type, char* buffer, int size) override;
    void InitCommonControls() override;
    bool UsesVisualStylesManifest() const override { return true; }
    bool WriteAutostart(const std::string& name, const std::string& executablePath) override;
    bool DeleteAutostart(const std::string& name) override;
    // The named mutex of instance_lock.cpp.
    bool AnotherInstanceRunning() override;
    int TwipsPerPixelX() override;

    // -- text and folders (windows_folders.cpp) --
    bool TextIsUtf8() const override { return true; }
    char PathSeparator() const override { return '\\'; }
    std::string ProgramFolder() override;
    std::string SettingsFolder() override;
    std::string ExecutablePath() override;
    std::string ExecutableName() override;
    ProductVersion GetProductVersion() override;
    bool FileExists(const std::string& path) override;
    bool SetFileAttributesA(const std::string& path, uint32_t attributes) override;

    // The pictures LoadPicture handed out, by handle.
    PictureStore& Pictures();
    // The message loop and the program's hidden window.
    UiThreadLoop& Loop() { return *loop_; }
    // The host of a loaded form, nullptr for a form not loaded.
    Win32FormHost* HostOf(const Form& form) const;
    // Where the forms' timer ticks run.
    TimerDispatch& Timers() { return timers_; }
    // What watches the joysticks while the program rests; null when the
    // desktop could not be reached.
    JoystickWatch* Watch() { return watch_.get(); }

protected:
    explicit WindowsPlatform(HINSTANCE instance);
    // Starts COM, the common controls and the hidden window; Create calls
    // it, and so does a derived platform that builds itself. False with
    // `error` set when the desktop cannot be reached.
    bool Initialise(std::string& error);

private:
    // The host of each loaded form, its timers ticking through Timers()
    // (windows_message_loop.cpp).
    std::unique_ptr<FormHost> MakeHost(Form& form) override;
    // The tray icons (windows_shell.cpp) and the popup menu (windows_menus.cpp).
    std::unique_ptr<TrayIconBook> MakeTray() override;
    MenuItem* ChooseFromPopup(Menu& menu) override;
    // The window that a dialog of `form` is owned by.
    HWND OwnerWindow(const Form* form) const;
    // An open (`open`) or save dialog on the record (windows_file_dialogs.cpp).
    bool RunFileDialog(OPENFILENAME& record, bool open);

    HINSTANCE instance_;
    bool comStarted_ = false;
    // Built in this order, destroyed in reverse: the pointer lets go of
    // held buttons last of all.
    std::unique_ptr<WindowsPointer> pointer_;
    std::unique_ptr<UiThreadLoop> loop_;
    std::unique_ptr<JoystickWatch> watch_;
    std::unique_ptr<PictureStore> pictures_;  // made on first use
    std::unique_ptr<InstanceLock> instanceLock_;
    std::unique_ptr<SettingsFolderChoice> settingsFolder_;
    bool ended_ = false;
    TimerDispatch timers_{*this};
};

}  // namespace gimbalo
