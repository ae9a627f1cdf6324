// The one interface through which the program reaches the desktop.
//
// Operations carry the names of the Windows calls they stand for, so a reader
// can match each one to the behaviour it supplies. Records mirror the Windows
// structures only as far as the program uses them; byte layouts stay inside
// the Windows backend. No operation throws: each reports its outcome the way
// its Windows namesake does.
#pragma once

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace gimbalo {

class Form;

// Turns bytes in an 8-bit code page into UTF-8.
using AnsiDecoder = std::string (*)(std::string_view bytes);

// ---- joystick (winmm) ----
constexpr uint32_t JOYERR_NOERROR = 0;
constexpr uint32_t JOYERR_PARMS = 165;
constexpr uint32_t JOYERR_UNPLUGGED = 167;
constexpr uint32_t JOY_RETURNALL = 255;

struct JOYINFOEX {
    uint32_t dwSize = 0;
    uint32_t dwFlags = 0;
    uint32_t dwXpos = 0;
    uint32_t dwYpos = 0;
    uint32_t dwZpos = 0;
    uint32_t dwRpos = 0;
    uint32_t dwUpos = 0;
    uint32_t dwVpos = 0;
    uint32_t dwButtons = 0;  // bit k-1 stands for button k
    uint32_t dwButtonNumber = 0;
    uint32_t dwPOV = 0;
    uint32_t dwReserved1 = 0;
    uint32_t dwReserved2 = 0;
};

constexpr std::size_t kJoystickNameLength = 32;

struct JOYCAPS {
    uint16_t wMid = 0;
    uint16_t wPid = 0;
    std::string szPname;  // product name, at most 32 characters
    uint32_t wNumButtons = 0;
};

// ---- pointer and input (user32) ----
struct POINT {
    int32_t x = 0;
    int32_t y = 0;
};

constexpr uint32_t MOUSEEVENTF_LEFTDOWN = 0x0002;
constexpr uint32_t MOUSEEVENTF_LEFTUP = 0x0004;
constexpr uint32_t MOUSEEVENTF_RIGHTDOWN = 0x0008;
constexpr uint32_t MOUSEEVENTF_RIGHTUP = 0x0010;
constexpr uint32_t MOUSEEVENTF_MIDDLEDOWN = 0x0020;
constexpr uint32_t MOUSEEVENTF_MIDDLEUP = 0x0040;

// Whether the pointer can be moved and its buttons pressed (PointerState).
constexpr uint32_t POINTER_READY = 0;
// The desktop's device for injected input is not there (a kernel module not
// loaded), the user may not use it, or it failed otherwise.
constexpr uint32_t POINTER_DEVICE_MISSING = 1;
constexpr uint32_t POINTER_DEVICE_DENIED = 2;
constexpr uint32_t POINTER_DEVICE_FAILED = 3;

// ---- windows messages seen through the tray callback ----
constexpr int32_t WM_MOUSEMOVE = 0x200;
constexpr int32_t WM_LBUTTONDOWN = 513;
constexpr int32_t WM_LBUTTONUP = 514;
constexpr int32_t WM_LBUTTONDBLCLK = 515;
constexpr int32_t WM_RBUTTONDOWN = 516;
constexpr int32_t WM_RBUTTONUP = 517;
constexpr int32_t WM_RBUTTONDBLCLK = 518;

// ---- shell ----
constexpr uint32_t NIM_ADD = 0;
constexpr uint32_t NIM_MODIFY = 1;
constexpr uint32_t NIM_DELETE = 2;
constexpr uint32_t NIF_MESSAGE = 1;
constexpr uint32_t NIF_ICON = 2;
constexpr uint32_t NIF_TIP = 4;

struct NOTIFYICONDATA {
    uint32_t cbSize = 0;
    Form* hWnd = nullptr;  // window that receives the callbacks
    uint32_t uID = 0;
    uint32_t uFlags = 0;
    uint32_t uCallbackMessage = 0;
    int32_t hIcon = 0;  // picture handle, see LoadPicture
    std::string szTip;  // at most 63 characters
};

constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMAXIMIZED = 3;

// ---- common dialogs ----
constexpr uint32_t OFN_ALLOWMULTISELECT = 0x200;

struct OPENFILENAME {
    Form* hwndOwner = nullptr;
    std::string lpstrFilter;  // description NUL pattern NUL ...
    std::string lpstrCustomFilter;
    uint32_t nMaxCustFilter = 0;
    uint32_t nFilterIndex = 0;
    std::string lpstrFile;  // buffer of nMaxFile characters, NUL-padded
    uint32_t nMaxFile = 0;
    std::string lpstrFileTitle;
    uint32_t nMaxFileTitle = 0;
    std::string lpstrInitialDir;
    std::string lpstrTitle;
    uint32_t Flags = 0;
    uint16_t nFileOffset = 0;
    uint16_t nFileExtension = 0;
    std::string lpstrDefExt;
};

constexpr uint32_t MB_ICONEXCLAMATION = 48;

// ---- locale ----
constexpr uint32_t LOCALE_SENGCOUNTRY = 0x1002;

// ---- file attributes ----
constexpr uint32_t FILE_ATTRIBUTE_READONLY = 1;
constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 2;
constexpr uint32_t FILE_ATTRIBUTE_SYSTEM = 4;

// ---- menus ----
using MenuHandle = std::uintptr_t;
constexpr uint32_t MF_BYPOSITION = 0x400;
// The flags the program hands SetMenuItemBitmaps: 1 holds no MF_BYPOSITION,
// so the item is found by its command identifier (the call reads no other
// bit; MF_BYCOMMAND itself is 0).
constexpr uint32_t kMenuItemByCommand = 1;

struct ProductVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // -- joystick --
    // Reads device `device` (0 to 15). JOYERR_NOERROR when it answered.
    virtual uint32_t joyGetPosEx(int device, JOYINFOEX& info) = 0;
    // Fills `caps` when the device answers; leaves it untouched otherwise.
    virtual uint32_t joyGetDevCapsA(int device, JOYCAPS& caps) = 0;

    // -- pointer --
    virtual bool GetCursorPos(POINT& point) = 0;
    // Moves the pointer; the desktop keeps it on the screen.
    virtual bool SetCursorPos(int32_t x, int32_t y) = 0;
    // Moves the pointer by (dx, dy) from wherever it is at that moment; the
    // desktop keeps it on the screen. This reads the position and sets it; a
    // desktop that moves it relative to where it is, in one request, spares
    // the program the wait for the reading.
    virtual bool MoveCursorBy(int32_t dx, int32_t dy) {
        POINT point;
        if (!GetCursorPos(point)) return false;
        const auto Sum = [](int32_t a, int32_t b) {
            const int64_t sum = static_cast<int64_t>(a) + b;
            return static_cast<int32_t>(sum > INT32_MAX   ? INT32_MAX
                                        : sum < INT32_MIN ? INT32_MIN
                                                          : sum);
        };
        return SetCursorPos(Sum(point.x, dx), Sum(point.y, dy));
    }
    // Injects button events at the current pointer position, one per flag set.
    virtual void mouse_event(uint32_t flags, uint32_t dx, uint32_t dy, uint32_t data,
                             uintptr_t extraInfo) = 0;
    // POINTER_READY, or why the pointer and its buttons cannot be reached
    // since the program started, which the user is told at start-up. Most
    // desktops always can.
    virtual uint32_t PointerState() { return POINTER_READY; }

    // -- forms --
    // Gives a form its native window (hidden until the model says shown) and
    // starts following its controls, timers included.
    virtual void LoadForm(Form& form) = 0;
    // Destroys the native window; the model no longer reaches the desktop.
    virtual void UnloadForm(Form& form) = 0;
    // Runs the message loop until EndProgram. `closeMainWindow` runs when the
    // desktop asks the program to close (session end, a termination signal).
    virtual void RunMessageLoop(const std::function<void()>& closeMainWindow) = 0;
    // Ends the program at once: no unload step runs, nothing more is dispatched.
    virtual void EndProgram() = 0;
    virtual bool ProgramEnded() const = 0;
    // Modal message box with a single OK button.
    virtual int MessageBox(const std::string& text, uint32_t style, const std::string& title) = 0;

    // -- menus: the popup menu of a form, addressed by handles --
    virtual MenuHandle GetMenu(Form& form) = 0;
    virtual MenuHandle GetSubMenu(MenuHandle menu, int position) = 0;
    virtual uint32_t GetMenuItemID(MenuHandle menu, int position) = 0;  // 0xFFFFFFFF: none
    virtual bool SetMenuItemBitmaps(MenuHandle menu, uint32_t item, uint32_t flags,
                                    int32_t uncheckedPicture, int32_t checkedPicture) = 0;
    // Shows the form's popup menu at the pointer and returns when it closes.
    virtual void ShowPopupMenu(Form& form) = 0;
    // Loads a picture shipped with the program (file name in the pictures
    // folder). Returns its handle, 0 when it cannot be loaded.
    virtual int32_t LoadPicture(const std::string& fileName) = 0;

    // -- shell --
    virtual bool Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) = 0;
    // Starts a program from a command line ("explorer ADDRESS") without waiting.
    virtual bool StartProgram(const std::string& commandLine, int showStyle) = 0;

    // -- common dialogs --
    virtual bool GetOpenFileNameA(OPENFILENAME& record) = 0;
    virtual bool GetSaveFileNameA(OPENFILENAME& record) = 0;

    // -- system --
    // Number of characters written, the terminating NUL included; 0 on failure.
    virtual int GetLocaleInfoA(uint32_t locale, uint32_t type, char* buffer, int size) = 0;
    virtual void InitCommonControls() = 0;
    // Whether the desktop reads a visual-styles manifest beside the executable.
    virtual bool UsesVisualStylesManifest() const = 0;
    // Creates or replaces the per-user autostart command `name` that starts
    // `executablePath`; the backend quotes the path as its desktop requires.
    virtual bool WriteAutostart(const std::string& name, const std::string& executablePath) = 0;
    virtual bool DeleteAutostart(const std::string& name) = 0;
    // Whether another copy of this program is running for this user.
    virtual bool AnotherInstanceRunning() = 0;
    virtual int TwipsPerPixelX() = 0;

    // -- text and files --
    // True when the program's text is UTF-8 (Linux, and Windows, whose
    // backend converts at the wide calls); false when it is an 8-bit code
    // page. Files from either system are read into it.
    virtual bool TextIsUtf8() const = 0;
    // How a file that is not UTF-8 reads on a UTF-8 program (an older
    // language file, a language name an older copy wrote into the settings):
    // in the code page such files are saved in on this desktop. Windows: the
    // system's ANSI code page; Linux: Windows-1252.
    virtual AnsiDecoder AnsiText() const = 0;
    virtual char PathSeparator() const = 0;
    // Folder of what ships with the program (Lang, documents, pictures).
    virtual std::string ProgramFolder() = 0;
    // Folder of what the program writes (settings, translation page); created
    // when first asked for.
    virtual std::string SettingsFolder() = 0;
    // Full path of the executable.
    virtual std::string ExecutablePath() = 0;
    // File name of the executable without its extension.
    virtual std::string ExecutableName() = 0;
    virtual ProductVersion GetProductVersion() = 0;
    // Whether a file exists, hidden, system and read-only ones included.
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool SetFileAttributesA(const std::string& path, uint32_t attributes) = 0;

    // -- waiting for input while the stick rests (optional) --
    // Starts watching: from now until StopWatchingJoystick, calls `wake` once,
    // from the message loop, as soon as what joyGetPosEx(device) reports, or
    // which devices answer, may have changed: input from that joystick, or
    // any joystick coming or going (while the joystick in use is missing the
    // program reads device 0, and must learn when the other comes back).
    // Changes from before the call need no wake: the program reads once more
    // after it. False when the backend cannot watch, comings included; the
    // program then keeps polling. A backend that
    // returns true must also stop a disabled Timer and restart it when it is
    // enabled again.
    virtual bool WatchJoystick(int device, std::function<void()> wake) {
        (void)device;
        (void)wake;
        return false;
    }
    // Stops watching; no wake comes after it. Harmless when not watching.
    virtual void StopWatchingJoystick() {}
    // Milliseconds from a fixed moment, wrapping at 2^32; the program only
    // compares two of them, to tell how long a rest lasted. A backend without
    // a clock may leave it at 0: a joystick that wakes the program for
    // nothing then keeps it polling longer, never less.
    virtual uint32_t GetTickCount() { return 0; }
};

}  // namespace gimbalo
