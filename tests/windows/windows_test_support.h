// Shared by the Windows backend tests, which run under Wine in Xvfb: the
// platform under test, waiting for a condition while window messages flow,
// windows found and read as Win32 sees them, a ticking form with a menu, a
// window that notes its messages, child processes, and files under wide names.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win32.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo::testing {

// Generous: a condition that holds comes true in milliseconds.
constexpr std::chrono::seconds kDeadline{10};

// The platform under test; derived so tests can start it and watch its ticks.
class TestPlatform : public WindowsPlatform {
public:
    // A started platform of type P (this one or one derived from it); null,
    // with the failure noted, when it cannot start.
    template <typename P = TestPlatform, typename... Arguments>
    static std::unique_ptr<P> Create(Arguments&&... arguments) {
        auto platform = std::make_unique<P>(std::forward<Arguments>(arguments)...);
        std::string error;
        if (platform->Initialise(error)) return platform;
        ADD_FAILURE() << error;
        return nullptr;
    }
    TestPlatform() : WindowsPlatform(GetModuleHandleW(nullptr)) {
        Timers().Wrap([this](Timer& timer, const std::function<void()>& fire) {
            if (onDispatch) onDispatch(timer);
            fire();
        });
    }
    // Runs before each timer tick the platform dispatches.
    std::function<void(Timer&)> onDispatch;
};

// Dispatches this thread's messages until `condition` holds or the deadline
// passes; whether it held.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds deadline = kDeadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

inline std::string TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return Utf8(text);
}

inline std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return Utf8(name);
}

// This thread's shown window of the class `name` ("#32770" a dialog or a
// message box, "#32768" a menu), or null.
inline HWND ShownWindowOfClass(const char* name) {
    std::pair<const char*, HWND> search{name, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto* found = reinterpret_cast<std::pair<const char*, HWND>*>(data);
            if (ClassOf(window) != found->first || !IsWindowVisible(window)) return TRUE;
            found->second = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// A form with a timer, for ticks inside the system's modal loops, and a
// popup menu laid out as the program's.
class MenuWindow : public Form {
public:
    MenuWindow() : Form("MenuWindow") {}
    Timer Timer1{*this, "Timer1"};
    Menu PopUp{*this, "PopUp", "Menu"};
    MenuItem mnuOne{PopUp, "mnuOne", "&Opzioni..."};
    MenuItem R0{PopUp, "R0", "-"};
    MenuItem mnuTwo{PopUp, "mnuTwo", "Fai una &donazione..."};
    MenuItem mnuThree{PopUp, "mnuThree", "&Esci"};
};

// A shown top-level window at a place on the screen that notes every
// message it is sent.
class NotingWindow {
public:
    explicit NotingWindow(RECT place, const wchar_t* title = L"Gimbalo test window") {
        WNDCLASSW type{};
        type.lpfnWndProc = &NotingWindow::Procedure;
        type.hInstance = GetModuleHandleW(nullptr);
        type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        type.lpszClassName = L"GimbaloNotingWindow";
        RegisterClassW(&type);
        window_ = CreateWindowExW(WS_EX_TOPMOST, type.lpszClassName, title, WS_POPUP | WS_VISIBLE,
                                  place.left, place.top, place.right - place.left,
                                  place.bottom - place.top, nullptr, nullptr, type.hInstance, this);
    }
    ~NotingWindow() {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    NotingWindow(const NotingWindow&) = delete;
    NotingWindow& operator=(const NotingWindow&) = delete;

    HWND Handle() const { return window_; }
    // The messages noted, in order, among `kinds`.
    std::vector<UINT> Seen(const std::vector<UINT>& kinds) const {
        std::vector<UINT> seen;
        for (UINT message : messages_)
            for (UINT kind : kinds)
                if (message == kind) seen.push_back(message);
        return seen;
    }
    void Forget() { messages_.clear(); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        if (auto* self = reinterpret_cast<NotingWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            self->messages_.push_back(message);
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    std::vector<UINT> messages_;
};

// The environment variable `name`, "" when it is not set.
inline std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

// Sets an environment variable (which child processes inherit) for the
// life of the object.
class ScopedEnv {
public:
    ScopedEnv(const wchar_t* name, const std::wstring& value)
        : name_(name), old_(EnvironmentValue(name)) {
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedEnv() { SetEnvironmentVariableW(name_, old_.empty() ? nullptr : old_.c_str()); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const wchar_t* name_;
    std::wstring old_;
};

// Which part this copy of the test program plays when a test started it
// (GIMBALO_TEST_CHILD); "" in the test run itself.
inline std::wstring ChildRole() {
    return EnvironmentValue(L"GIMBALO_TEST_CHILD");
}

// This test program's own path.
inline std::wstring TestProgram() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

// The file `name` in the build folder, beside this test program.
inline std::wstring BesideTestProgram(const std::wstring& name) {
    const std::wstring self = TestProgram();
    return self.substr(0, self.rfind(L'\\') + 1) + name;
}

// The bytes of a file, "" when it cannot be read (yet); another process may
// be writing it.
inline std::string ReadWideFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

// Writes `bytes` as the whole file; whether it could.
inline bool WriteWideFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

// A folder of its own under the temporary folder, named with letters beyond
// ASCII (é, €, œ), removed with what it holds, read-only files too.
class WideTempFolder {
public:
    WideTempFolder() {
        wchar_t temporary[MAX_PATH];
        GetTempPathW(MAX_PATH, temporary);
        static int made = 0;  // several in one millisecond
        path_ = std::wstring(temporary) + L"Gimbalo \u00e9\u20ac\u0153 " +
                std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount()) +
                L"-" + std::to_wstring(++made);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~WideTempFolder() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path_, ignored);
    }
    WideTempFolder(const WideTempFolder&) = delete;
    WideTempFolder& operator=(const WideTempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::string Utf8Path() const { return Utf8(path_); }

private:
    std::wstring path_;
};

struct ProcessResult {
    DWORD exitCode = 0xFFFFFFFF;  // the same when it could not start or did not end
    std::string output;           // standard output, as the bytes came
    std::string errors;           // standard error
};

// A program started with its standard output and error caught in files of
// their own, which can be read while it writes them.
class ChildProcess {
public:
    explicit ChildProcess(std::wstring commandLine) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = Catch(L"out");
        startup.hStdError = Catch(L"err");
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                  CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process_) != FALSE;
        CloseHandle(startup.hStdOutput);
        CloseHandle(startup.hStdError);
    }
    ~ChildProcess() {
        if (started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, INFINITE);
        }
        for (HANDLE handle : {process_.hThread, process_.hProcess})
            if (handle != nullptr) CloseHandle(handle);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    DWORD Id() const { return process_.dwProcessId; }
    std::string Output() const { return ReadWideFile(streams_.Path() + L"\\out"); }
    std::string Errors() const { return ReadWideFile(streams_.Path() + L"\\err"); }
    // Waits for the end: the exit code, with everything it wrote.
    ProcessResult Wait(std::chrono::milliseconds deadline = 3 * kDeadline) {
        ProcessResult result;
        if (started_ && WaitForSingleObject(process_.hProcess,
                                            static_cast<DWORD>(deadline.count())) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &result.exitCode);
        else if (started_)
            TerminateProcess(process_.hProcess, 1);
        result.output = Output();
        result.errors = Errors();
        return result;
    }

private:
    // A new file for one of the child's streams, handed down to it.
    HANDLE Catch(const wchar_t* name) const {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        return CreateFileW((streams_.Path() + L"\\" + name).c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
    }

    WideTempFolder streams_;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// Runs `commandLine` to its end with its output caught.
inline ProcessResult RunProcess(std::wstring commandLine) {
    return ChildProcess(std::move(commandLine)).Wait();
}

// Runs the test `name` ("Suite.Test") alone in a fresh copy of this test
// program, playing `role` (see ChildRole).
inline ProcessResult RunTestInChild(const std::string& name, const std::wstring& role) {
    ScopedEnv child(L"GIMBALO_TEST_CHILD", role);
    return RunProcess(L'"' + TestProgram() + L"\" --gtest_filter=" + Wide(name));
}

}  // namespace gimbalo::testing
