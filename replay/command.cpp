#include "replay/command.h"

#include <cstdio>

#include "app/command_line.h"

namespace gimbalo {

namespace {

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
    return UsageError(stderr, "gimbalo-replay", problem);
}

}  // namespace

std::optional<int> ParseReplayCommand(const std::vector<std::string>& arguments,
                                      ReplayCommand& command) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--trace") {
            command.trace = true;
        } else if (argument == "--poll") {
            command.poll = true;
        } else if (argument == "--settings") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty())
                return Problem("--settings needs a folder");
            command.settingsFolder = arguments[++i];
        } else if (argument == "--help" || argument == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (argument == "--version") {
            std::fputs(VersionText("gimbalo-replay").c_str(), stdout);
            return 0;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return Problem("unknown option '" + argument + "'");
        } else if (command.scriptPath.empty()) {
            command.scriptPath = argument;
        } else {
            return Problem("one script only, not also '" + argument + "'");
        }
    }
    if (command.scriptPath.empty()) return Problem("no script given");
    return std::nullopt;
}

std::optional<int> LoadReplayScript(const std::string& path, ReadFileStart read, Script& script) {
    // Far beyond any script a day of ticks needs.
    constexpr std::size_t kLongestScript = std::size_t{64} << 20;
    std::string text;
    std::string reason;
    bool readWhole = read(path, kLongestScript + 1, text, reason);
    if (readWhole && text.size() > kLongestScript) {
        readWhole = false;
        reason = "longer than 64 MiB";
    }
    if (!readWhole) {
        std::fprintf(stderr, "%s: cannot read: %s\n", path.c_str(), reason.c_str());
        return kReplayUsageOrScriptError;
    }
    const std::vector<ScriptError> errors = ParseScript(text, script);
    for (const ScriptError& error : errors)
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), error.line, error.message.c_str());
    if (!errors.empty()) return kReplayUsageOrScriptError;
    return std::nullopt;
}

}  // namespace gimbalo
