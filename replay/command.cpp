#include "replay/command.h"

#include <cstdio>

namespace gimbalo {

namespace {

int Usage(std::FILE* out, int status) {
    std::fprintf(out, "usage: gimbalo-replay SCRIPT [--trace] [--settings DIR]\n");
    return status;
}

}  // namespace

std::optional<int> ParseReplayCommand(const std::vector<std::string>& arguments,
                                      ReplayCommand& command) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--trace")
            command.trace = true;
        else if (argument == "--settings" && i + 1 < arguments.size() && !arguments[i + 1].empty())
            command.settingsFolder = arguments[++i];
        else if (argument == "--help" || argument == "-h")
            return Usage(stdout, 0);
        else if (argument.size() > 1 && argument[0] == '-')
            return Usage(stderr, kReplayUsageOrScriptError);
        else if (command.scriptPath.empty())
            command.scriptPath = argument;
        else
            return Usage(stderr, kReplayUsageOrScriptError);
    }
    if (command.scriptPath.empty()) return Usage(stderr, kReplayUsageOrScriptError);
    return std::nullopt;
}

bool ParseReplayScript(const std::string& path, const std::string& text, Script& script) {
    const std::vector<ScriptError> errors = ParseScript(text, script);
    for (const ScriptError& error : errors)
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), error.line, error.message.c_str());
    return errors.empty();
}

}  // namespace gimbalo
