// Shared by the tests of the Windows form host: windows placed in their
// parents, keys delivered the way the message loop delivers them,
// screenshots, and a platform on which the whole program starts (one
// joystick that answers, settings in the test's own folder, programs noted
// instead of started).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win32.h"
#include "platform/windows/win32_form_host.h"
#include "tests/windows/windows_test_support.h"

namespace gimbalo::testing {

// A window's place inside its parent's client area.
inline RECT PlaceInParent(HWND window) {
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<::POINT*>(&place), 2);
    return place;
}

inline SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

// How wide `text` is on one line in the window's own font.
inline int TextWidth(HWND window, const std::wstring& text) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

// Dispatches this thread's messages as the program's loop does: a form's
// window has its dialog keys first.
inline void PumpDialog(HWND form) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (form != nullptr && (message.hwnd == form || IsChild(form, message.hwnd)) &&
            IsDialogMessageW(form, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A key pressed and let go on the window that has the focus, as the
// keyboard delivers it; `alt` holds Alt down around it.
inline void PressKey(HWND form, UINT key, bool alt = false) {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
    const LPARAM altBit = alt ? (1 << 29) : 0;
    PostMessageW(focus, down, key, 1 | altBit);
    PumpDialog(form);
    PostMessageW(GetFocus(), up, key, static_cast<LPARAM>(0xC0000001u) | altBit);
    PumpDialog(form);
}

// Saves what the X display shows of `window` (frame included) as a PNG file
// named `name` in the build's screenshots folder, through ImageMagick's
// import run from Wine as a Linux program: Wine's own copy of the screen
// lacks the text it draws. True when the file was written.
inline bool SaveScreenshot(HWND window, const std::string& name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Wine draws into a copy of the window and hands it to the X server
    // shortly after; messages flow meanwhile.
    const auto drawn = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    WaitUntil([drawn] { return std::chrono::steady_clock::now() >= drawn; });
    RECT place{};
    GetWindowRect(window, &place);
    const std::string file = std::string(GIMBALO_SCREENSHOT_DIR) + "/" + name + ".png";
    std::remove(("Z:" + file).c_str());
    std::wstring command =
        Wide("/usr/bin/import -window root -crop " + std::to_string(place.right - place.left) +
             "x" + std::to_string(place.bottom - place.top) + "+" + std::to_string(place.left) +
             "+" + std::to_string(place.top) + " +repage " + file);
    CreateDirectoryW(Wide("Z:" + std::string(GIMBALO_SCREENSHOT_DIR)).c_str(), nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Wine does not see a Linux program end: the file is done once its size
    // holds still.
    const std::wstring path = Wide("Z:" + file);
    LONGLONG last = -1;
    return WaitUntil(
        [&] {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
            const LONGLONG size =
                (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            const bool done = size > 0 && size == last;
            last = size;
            Sleep(100);
            return done;
        },
        std::chrono::seconds(30));
}

// Whether Wine's shell has finished docking the program's tray icon in the
// notification area, waiting for it: the dock brings the icon's window to
// the foreground, away from a form a test has activated. At once where no
// notification area docks icons (no such window is made).
inline bool TrayIconSettled() {
    HWND icon = FindWindowW(L"__winex11_tray_icon", nullptr);  // top-level until docked
    return WaitUntil([icon] {
        return !IsWindow(icon) ||
               (IsWindowVisible(icon) && GetAncestor(icon, GA_PARENT) != GetDesktopWindow());
    });
}

inline constexpr const char* kPadName = "Gimbalo Test Pad";
// As many as a joystick reports: the button lists hold their longest entries.
inline constexpr uint32_t kPadButtons = 32;

// The real Windows platform with one joystick at rest on device 0, the
// settings in `settingsFolder`, and the programs it would start noted.
class FormsPlatform : public TestPlatform {
public:
    explicit FormsPlatform(std::string settingsFolder)
        : settingsFolder_(std::move(settingsFolder)) {}
    uint32_t joyGetPosEx(int device, JOYINFOEX& info) override {
        if (device != 0) return JOYERR_PARMS;
        info.dwXpos = info.dwYpos = 32767;
        info.dwButtons = 0;
        return JOYERR_NOERROR;
    }
    uint32_t joyGetDevCapsA(int device, JOYCAPS& caps) override {
        if (device != 0) return JOYERR_PARMS;
        caps.szPname = kPadName;
        caps.wNumButtons = kPadButtons;
        return JOYERR_NOERROR;
    }
    std::string SettingsFolder() override { return settingsFolder_; }
    bool AnotherInstanceRunning() override { return false; }
    bool WriteAutostart(const std::string&, const std::string&) override { return true; }
    bool DeleteAutostart(const std::string&) override { return true; }
    bool StartProgram(const std::string& commandLine, int) override {
        started.push_back(commandLine);
        return true;
    }

    std::vector<std::string> started;

private:
    std::string settingsFolder_;
};

// The whole program started on the Windows desktop, in English.
class ProgramOnWindows : public ::testing::Test {
protected:
    void SetUp() override { StartIn("English.lng"); }
    void TearDown() override {
        program.reset();
        platform.reset();
    }
    // Starts the program anew in the language of `languageFile`.
    void StartIn(const std::string& languageFile) {
        TearDown();
        // Buttons 1, 2, 3, speed 2, acceleration on, no autostart, joystick 1.
        WriteWideFile(SettingsFile(),
                      "1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n0\r\n" + languageFile + "\r\n");
        platform = TestPlatform::Create<FormsPlatform>(folder.Utf8Path());
        ASSERT_TRUE(platform);
        program = std::make_unique<Program>(*platform);
        program->Start();
        ASSERT_FALSE(platform->ProgramEnded());
        ASSERT_TRUE(TrayIconSettled()) << "Wine's shell did not dock the tray icon";
    }

    HWND WindowOf(const Form& form) const {
        const Win32FormHost* host = platform->HostOf(form);
        return host != nullptr ? host->Window() : nullptr;
    }
    HWND WindowOf(const Control& control) const {
        const Win32FormHost* host = platform->HostOf(control.Owner());
        return host != nullptr ? host->WindowOf(control) : nullptr;
    }

    std::wstring SettingsFile() const { return folder.Path() + L"\\Gimbalo.ini"; }

    WideTempFolder folder;
    std::unique_ptr<FormsPlatform> platform;
    std::unique_ptr<Program> program;
};

}  // namespace gimbalo::testing
