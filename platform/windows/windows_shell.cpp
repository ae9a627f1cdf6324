// The notification-area icon and starting programs.
#include "platform/program_call.h"
#include "platform/windows/tray_icons.h"
#include "platform/windows/ui_thread_loop.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo {

namespace {

// `text` as one argument of a Windows command line: in quotes, with the
// backslashes before a quote doubled and the quote escaped, as the C
// runtime reads it back.
std::wstring QuotedArgument(const std::wstring& text) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

}  // namespace

std::unique_ptr<TrayIconBook> WindowsPlatform::MakeTray() {
    if (!loop_) return nullptr;
    return std::make_unique<TrayIcons>(loop_->Window(), Pictures(),
                                       [this] { return TwipsPerPixelX(); });
}

bool WindowsPlatform::StartProgram(const std::string& commandLine, int showStyle) {
    const ProgramCall call = SplitCommandLine(commandLine);
    if (call.program.empty()) return false;
    if (IsExplorer(call.program)) {
        // What the explorer does with an address or a file: the desktop's
        // handler for it opens it, in the window state asked for.
        if (call.argument.empty()) return false;
        const auto started = reinterpret_cast<INT_PTR>(ShellExecuteW(
            nullptr, nullptr, Wide(call.argument).c_str(), nullptr, nullptr, showStyle));
        return started > 32;
    }
    std::wstring line = QuotedArgument(Wide(call.program));
    if (!call.argument.empty()) line += L' ' + QuotedArgument(Wide(call.argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showStyle);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace gimbalo
