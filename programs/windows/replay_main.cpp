// gimbalo-replay.exe SCRIPT [--trace] [--poll] [--settings DIR]: runs the program with
// scripted joysticks in place of real ones (replay/script.h says what a
// script holds, replay/command.h the exit status). The settings file lives in
// DIR, or without it in a fresh temporary folder removed at exit; the user's
// own settings and the autostart value are never touched. A console program:
// its trace and notes go to the standard output and error, in UTF-8.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"
#include "replay/replay_run.h"
#include "replay/windows/scripted_joysticks.h"

namespace {

// The arguments after the program's name, in UTF-8 whatever the code page.
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) arguments.push_back(gimbalo::Utf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

// Windows' own words for an error.
std::string ErrorText(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring words = text != nullptr ? text : L"error " + std::to_wstring(error);
    LocalFree(text);
    while (!words.empty() &&
           (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' '))
        words.pop_back();
    return gimbalo::Utf8(words);
}

bool ReadFileStart(const std::string& path, std::size_t limit, std::string& content,
                   std::string& reason) {
    HANDLE file = CreateFileW(gimbalo::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = ErrorText(GetLastError());
        return false;
    }
    char buffer[8192];
    DWORD got = 0;
    BOOL read = TRUE;
    while (content.size() < limit &&
           (read = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0)
        content.append(buffer, got);
    if (!read) reason = ErrorText(GetLastError());
    CloseHandle(file);
    return read != FALSE;
}

bool MakeTemporaryFolder(std::string& path, std::string& error) {
    wchar_t temporary[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temporary);
    // A longer path than the buffer holds is not in it.
    const std::wstring folder =
        length == 0 || length >= MAX_PATH
            ? std::wstring()
            : std::wstring(temporary, length) + L"gimbalo-replay-" +
                  std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    if (folder.empty() || !CreateDirectoryW(folder.c_str(), nullptr)) {
        error = "gimbalo-replay: cannot make a temporary settings folder (error " +
                std::to_string(GetLastError()) + ")";
        return false;
    }
    path = gimbalo::Utf8(folder);
    return true;
}

}  // namespace

int main() {
    // A console shows the UTF-8 it is given as such; lines end in LF alone,
    // so the trace reads byte for byte as on Linux.
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    gimbalo::ReplayRun run;
    if (const std::optional<int> status =
            run.Prepare(Arguments(), {ReadFileStart, MakeTemporaryFolder}))
        return *status;

    // Each line as it happens, so a reader of a pipe follows the run.
    if (run.Command().trace) std::setvbuf(stdout, nullptr, _IONBF, 0);

    std::string error;
    std::unique_ptr<gimbalo::WindowsPlatform> desktop =
        gimbalo::WindowsPlatform::Create(GetModuleHandleW(nullptr), error);
    if (!desktop) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    gimbalo::ScriptedJoysticks joysticks(*desktop, run.GetScript());
    return run.Run(*desktop, desktop->Timers(), joysticks);
}
