// The Windows desktop: the Win32 API itself. winmm for joysticks, user32 for
// the pointer, windows, menus and message boxes, shell32 for the tray icon
// and starting programs, comdlg32 for file dialogs, advapi32 for the
// autostart value, WIC for the shipped pictures. Text crosses the seam as
// UTF-8 and goes to the wide (W) calls.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/common/timer_dispatch.h"
#include "platform/platform.h"
#include "platform/windows/win32.h"

namespace gimbalo {

class MessageLoop;
class PictureStore;
class TrayIcons;
class WindowsFormHost;
class WindowsPointer;

class WindowsPlatform : public Platform {
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

    // -- pointer (windows_pointer.cpp) --
    bool GetCursorPos(POINT& point) override;
    bool SetCursorPos(int32_t x, int32_t y) override;
    void mouse_event(uint32_t flags, uint32_t dx, uint32_t dy, uint32_t data,
                     uintptr_t extraInfo) override;

    // -- forms and the message loop (windows_message_loop.cpp) --
    void LoadForm(Form& form) override;
    void UnloadForm(Form& form) override;
    void RunMessageLoop(const std::function<void()>& closeMainWindow) override;
    void EndProgram() override;
    bool ProgramEnded() const override { return ended_; }
    int MessageBox(const std::string& text, uint32_t style, const std::string& title) override;

    // -- menus (windows_menus.cpp) --
    MenuHandle GetMenu(Form& form) override;
    MenuHandle GetSubMenu(MenuHandle menu, int position) override;
    uint32_t GetMenuItemID(MenuHandle menu, int position) override;
    bool SetMenuItemBitmaps(MenuHandle menu, uint32_t item, uint32_t flags,
                            int32_t uncheckedPicture, int32_t checkedPicture) override;
    void ShowPopupMenu(Form& form) override;
    int32_t LoadPicture(const std::string& fileName) override;

    // -- shell (windows_shell.cpp) --
    bool Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) override;
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
    bool AnotherInstanceRunning() override;
    int TwipsPerPixelX() override;

    // -- text and files (windows_files.cpp) --
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
    MessageLoop& Loop() { return *loop_; }
    // The host of a loaded form, nullptr for a form not loaded.
    WindowsFormHost* HostOf(const Form& form) const;
    // Where the forms' timer ticks run.
    TimerDispatch& Timers() { return timers_; }

protected:
    explicit WindowsPlatform(HINSTANCE instance);
    // Starts COM, the common controls and the hidden window; Create calls
    // it, and so does a derived platform that builds itself. False with
    // `error` set when the desktop cannot be reached.
    bool Initialise(std::string& error);

private:
    // The window that a dialog of `form` is owned by.
    HWND OwnerWindow(const Form* form) const;
    // An open (`open`) or save dialog on the record (windows_file_dialogs.cpp).
    bool RunFileDialog(OPENFILENAME& record, bool open);

    HINSTANCE instance_;
    bool comStarted_ = false;
    // Built in this order, destroyed in reverse: the pointer lets go of
    // held buttons last of all.
    std::unique_ptr<WindowsPointer> pointer_;
    std::unique_ptr<MessageLoop> loop_;
    std::unique_ptr<PictureStore> pictures_;
    std::unique_ptr<TrayIcons> tray_;
    std::map<Form*, std::unique_ptr<WindowsFormHost>> hosts_;
    std::function<void()> closeMainWindow_;
    HANDLE instanceMutex_ = nullptr;
    std::optional<bool> anotherInstance_;
    std::optional<std::string> settingsFolder_;
    bool ended_ = false;
    TimerDispatch timers_{*this};
};

}  // namespace gimbalo
