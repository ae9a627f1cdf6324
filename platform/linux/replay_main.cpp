// gimbalo-replay SCRIPT [--trace] [--poll] [--settings DIR]: runs the
// program with scripted joysticks in place of real ones (replay/script.h
// says what a script holds). The settings file lives in DIR, or without it
// in a fresh temporary folder removed at exit; the user's own settings and
// the desktop's autostart entry are never touched. --trace writes a line
// per tick (replay/trace.h); --poll keeps the program polling while the
// stick rests, as plain polling does, to compare with the program that
// sleeps then.
//
// Exit status: 0 when the program ran and closed (the script's quit or
// "menu mnuExit", or a termination signal); 1 when it ended at start-up, as
// gimbalo does (no joystick, another copy running) or the desktop could not
// be reached; 2 for a usage error or a script that cannot be read or is
// wrong, in which case nothing runs; 3 when the trace could not be written
// (its reader went away, as `gimbalo-replay SCRIPT --trace | head` does, or
// the disk is full), in which case the program closed as at the script's
// quit.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/program.h"
#include "platform/linux/command_line.h"
#include "platform/linux/replay_platform.h"
#include "replay/script.h"

namespace {

constexpr int kUsageOrScriptError = gimbalo::kUsageError;
constexpr int kTraceLost = 3;

constexpr const char* kHelp =
    "usage: gimbalo-replay SCRIPT [--trace] [--poll] [--settings DIR]\n"
    "Runs Gimbalo with scripted joysticks in place of real ones, one script step\n"
    "per 5 ms tick, for a demonstration or a test without a joystick.\n"
    "\n"
    "  --trace         print a line per tick and per menu command\n"
    "  --poll          keep polling every 5 ms while the stick rests\n"
    "  --settings DIR  keep Gimbalo.ini in DIR (default: a temporary folder,\n"
    "                  removed at exit; your own settings are never touched)\n"
    "  -h, --help      show this help and end\n"
    "  --version       show the version and end\n";

int Problem(const std::string& problem) {
    return gimbalo::UsageError(stderr, "gimbalo-replay", problem);
}

// The whole file, or false with `reason` set.
bool ReadWholeFile(const std::string& path, std::string& content, std::string& reason) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return false;
    }
    char buffer[8192];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (failed) reason = std::strerror(readErrno);
    return !failed;
}

}  // namespace

int main(int argc, char** argv) {
    std::string scriptPath;
    std::string settingsFolder;
    bool trace = false;
    bool poll = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--trace") {
            trace = true;
        } else if (argument == "--poll") {
            poll = true;
        } else if (argument == "--settings") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0')
                return Problem("--settings needs a folder");
            settingsFolder = argv[++i];
        } else if (argument == "--help" || argument == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (argument == "--version") {
            std::fputs(gimbalo::VersionText("gimbalo-replay").c_str(), stdout);
            return 0;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return Problem("unknown option '" + argument + "'");
        } else if (scriptPath.empty()) {
            scriptPath = argument;
        } else {
            return Problem("one script only, not also '" + argument + "'");
        }
    }
    if (scriptPath.empty()) return Problem("no script given");

    std::string text;
    std::string reason;
    if (!ReadWholeFile(scriptPath, text, reason)) {
        std::fprintf(stderr, "%s: cannot read: %s\n", scriptPath.c_str(), reason.c_str());
        return kUsageOrScriptError;
    }
    gimbalo::Script script;
    const std::vector<gimbalo::ScriptError> errors = gimbalo::ParseScript(text, script);
    for (const gimbalo::ScriptError& error : errors)
        std::fprintf(stderr, "%s:%d: %s\n", scriptPath.c_str(), error.line, error.message.c_str());
    if (!errors.empty()) return kUsageOrScriptError;

    // Each line as it happens, so a reader of a pipe follows the run.
    if (trace) std::setvbuf(stdout, nullptr, _IOLBF, 0);

    // The script's own arguments are no business of the toolkit.
    int desktopArgc = 1;
    char* desktopArgv[] = {argv[0], nullptr};
    std::string error;
    std::unique_ptr<gimbalo::ReplayPlatform> platform = gimbalo::ReplayPlatform::Create(
        desktopArgc, desktopArgv, script, trace ? stdout : nullptr, settingsFolder, poll, error);
    if (!platform) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    gimbalo::Program program(*platform);
    platform->SetMenuCommandRunner(
        [&program](const std::string& item) { return program.RunMenuCommand(item); });
    program.Start();
    // Start-up ends the program when another copy runs or no joystick answers.
    if (platform->ProgramEnded()) {
        platform->TraceEnd();
        return 1;
    }
    platform->RunMessageLoop([&program] { program.Exit(); });
    return platform->TraceEnd() ? 0 : kTraceLost;
}
