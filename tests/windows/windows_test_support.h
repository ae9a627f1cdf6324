// Shared by the Windows backend tests, which run under Wine in Xvfb: the
// platform under test, waiting for a condition while window messages flow,
// and a plain window that notes the messages it is sent.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/windows/wide_text.h"
#include "platform/windows/win32.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo::testing {

// Generous: a condition that holds comes true in milliseconds.
constexpr std::chrono::seconds kDeadline{10};

// The platform under test; derived so tests reach what the replay reaches.
class TestPlatform : public WindowsPlatform {
public:
    static std::unique_ptr<TestPlatform> Create() {
        std::unique_ptr<TestPlatform> platform(new TestPlatform());
        std::string error;
        if (!platform->Initialise(error)) {
            ADD_FAILURE() << error;
            return nullptr;
        }
        return platform;
    }
    // Runs before each timer tick the platform dispatches.
    std::function<void(Timer&)> onDispatch;
    using WindowsPlatform::Initialise;

protected:
    TestPlatform() : WindowsPlatform(GetModuleHandleW(nullptr)) {}
    void DispatchTimer(Timer& timer) override {
        if (onDispatch) onDispatch(timer);
        WindowsPlatform::DispatchTimer(timer);
    }
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

// Sets an environment variable (which child processes inherit) for the
// life of the object.
class ScopedEnv {
public:
    ScopedEnv(const wchar_t* name, const std::wstring& value) : name_(name) {
        wchar_t old[1024];
        const DWORD length = GetEnvironmentVariableW(name, old, 1024);
        if (length > 0 && length < 1024) old_ = std::wstring(old, length), hadOld_ = true;
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedEnv() { SetEnvironmentVariableW(name_, hadOld_ ? old_.c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const wchar_t* name_;
    std::wstring old_;
    bool hadOld_ = false;
};

// The environment variable `name`, "" when it is not set.
inline std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

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

struct ProcessResult {
    DWORD exitCode = 0xFFFFFFFF;  // the same when it could not start or did not end
    std::string output;           // standard output, as the bytes came
    std::string errors;           // standard error
};

// A program started with its standard output and error caught, each read
// as it comes.
class ChildProcess {
public:
    explicit ChildProcess(std::wstring commandLine) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE outWrite = nullptr;
        HANDLE errWrite = nullptr;
        if (!CreatePipe(&outRead_, &outWrite, &inherit, 0) ||
            !CreatePipe(&errRead_, &errWrite, &inherit, 0))
            return;
        SetHandleInformation(outRead_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(errRead_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = outWrite;
        startup.hStdError = errWrite;
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                  CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process_) != FALSE;
        CloseHandle(outWrite);
        CloseHandle(errWrite);
        outReader_ = std::thread([this] { Drain(outRead_, output_); });
        errReader_ = std::thread([this] { Drain(errRead_, errors_); });
    }
    ~ChildProcess() {
        if (started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 1);
        if (outReader_.joinable()) outReader_.join();
        if (errReader_.joinable()) errReader_.join();
        for (HANDLE handle : {outRead_, errRead_, process_.hThread, process_.hProcess})
            if (handle != nullptr) CloseHandle(handle);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    std::string Output() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return output_;
    }
    std::string Errors() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return errors_;
    }
    // Waits for the end: the exit code, with everything it wrote.
    ProcessResult Wait(std::chrono::milliseconds deadline = 3 * kDeadline) {
        ProcessResult result;
        if (started_ && WaitForSingleObject(process_.hProcess,
                                            static_cast<DWORD>(deadline.count())) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &result.exitCode);
        else if (started_)
            TerminateProcess(process_.hProcess, 1);
        if (outReader_.joinable()) outReader_.join();
        if (errReader_.joinable()) errReader_.join();
        result.output = Output();
        result.errors = Errors();
        return result;
    }

private:
    void Drain(HANDLE pipe, std::string& into) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            into.append(buffer, got);
        }
    }

    PROCESS_INFORMATION process_{};
    bool started_ = false;
    HANDLE outRead_ = nullptr;
    HANDLE errRead_ = nullptr;
    mutable std::mutex mutex_;
    std::string output_;
    std::string errors_;
    std::thread outReader_;
    std::thread errReader_;
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

// The bytes of a file, "" when it cannot be read (yet).
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
// ASCII (é, €, œ), removed with what it holds.
class WideTempFolder {
public:
    WideTempFolder() {
        wchar_t temporary[MAX_PATH];
        GetTempPathW(MAX_PATH, temporary);
        path_ = std::wstring(temporary) + L"Gimbalo \u00e9\u20ac\u0153 " +
                std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~WideTempFolder() { Remove(path_); }
    WideTempFolder(const WideTempFolder&) = delete;
    WideTempFolder& operator=(const WideTempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::string Utf8Path() const { return Utf8(path_); }

private:
    static void Remove(const std::wstring& folder) {
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring full = folder + L"\\" + name;
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(full);
                else
                    DeleteFileW(full.c_str());
            } while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring path_;
};

}  // namespace gimbalo::testing
