// The command line of gimbalo-replay, the same on every desktop:
//
//   gimbalo-replay SCRIPT [--trace] [--poll] [--settings DIR]
//
// --trace writes a line per tick (replay/trace.h); --poll keeps the program
// polling while the stick rests, as plain polling does, to compare with the
// program that sleeps then.
//
// Exit status: 0 when the program ran and closed (the script's quit or
// "menu mnuExit", or a close request); 1 when it ended at start-up, as the
// program does (no joystick, another copy running) or the desktop could not
// be reached; 2 for a usage error or a script that cannot be read or is
// wrong, in which case nothing runs; 3 when the trace could not be written
// (its reader went away, as `gimbalo-replay SCRIPT --trace | head` does, or
// the disk is full), in which case the program closed as at the script's
// quit.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "replay/script.h"

namespace gimbalo {

constexpr int kReplayUsageOrScriptError = 2;
constexpr int kReplayTraceLost = 3;

struct ReplayCommand {
    std::string scriptPath;
    std::string settingsFolder;  // empty: a temporary folder
    bool trace = false;
    bool poll = false;
};

// Reads the arguments that follow the program's name. Nothing when the
// replay is to run; otherwise the exit status, after the help or the version
// went to the standard output (status 0) or one line saying what is wrong to
// the standard error (status 2).
std::optional<int> ParseReplayCommand(const std::vector<std::string>& arguments,
                                      ReplayCommand& command);

// Reads the file at `path` into `content`, stopping once it holds `limit`
// bytes or more; false, with the system's words for the failure in `reason`,
// when the file cannot be opened or read. One per desktop.
using ReadFileStart = bool (*)(const std::string& path, std::size_t limit, std::string& content,
                               std::string& reason);

// Reads the script at `path` through `read` and parses it. Nothing when
// `script` holds it; otherwise the exit status, after one line on the
// standard error for a script that cannot be read (or is longer than any
// script needs: a device such as /dev/zero named by mistake) and one line
// per error, PATH:LINE: message, for a wrong one.
std::optional<int> LoadReplayScript(const std::string& path, ReadFileStart read, Script& script);

}  // namespace gimbalo
