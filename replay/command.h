// The command line of gimbalo-replay, the same on every desktop:
//
//   gimbalo-replay SCRIPT [--trace] [--settings DIR]
//
// Exit status: 0 when the program ran and closed (the script's quit or
// "menu mnuExit", or a close request); 1 when it ended at start-up, as the
// program does (no joystick, another copy running) or the desktop could not
// be reached; 2 for a usage error or a script that cannot be read or is
// wrong, in which case nothing runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "replay/script.h"

namespace gimbalo {

constexpr int kReplayUsageOrScriptError = 2;

struct ReplayCommand {
    std::string scriptPath;
    std::string settingsFolder;  // empty: a temporary folder
    bool trace = false;
};

// Reads the arguments that follow the program's name. Nothing when the
// replay is to run; otherwise the exit status, after the usage went to the
// standard output (--help, status 0) or the standard error (status 2).
std::optional<int> ParseReplayCommand(const std::vector<std::string>& arguments,
                                      ReplayCommand& command);

// Parses the script `text` read from `path`; each error goes to the standard
// error as PATH:LINE: message. False when there was one.
bool ParseReplayScript(const std::string& path, const std::string& text, Script& script);

}  // namespace gimbalo
