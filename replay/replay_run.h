// One run of gimbalo-replay from its command line to its exit status, the
// same on every desktop: the command line and the script are read and the
// settings folder prepared before the desktop starts; then the program runs
// on the desktop wrapped by the replay platform (replay/replay_platform.h),
// the script's menu commands reach it, and the trace gets its closing line.
// The exit status is the one replay/command.h gives.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "replay/command.h"
#include "replay/script.h"
#include "replay/settings_folder.h"

namespace gimbalo {

class Platform;
class ReplayDesktop;
class TimerDispatch;

// What a replay needs of the operating system before its desktop starts;
// one per desktop.
struct ReplaySystem {
    ReadFileStart readFileStart;
    ReplaySettingsFolder::MakeTemporaryFolder makeTemporaryFolder;
};

class ReplayRun {
public:
    // Reads `arguments` (those after the program's name) and the script,
    // and prepares the settings folder. Nothing when the run goes on;
    // otherwise the exit status, after what was wrong went to the standard
    // error (or the help or the version to the standard output).
    std::optional<int> Prepare(const std::vector<std::string>& arguments,
                               const ReplaySystem& system);
    const ReplayCommand& Command() const { return command_; }
    const Script& GetScript() const { return script_; }

    // Runs the program on `desktop`, whose timer ticks run through `ticks`,
    // with the scripted `joysticks` on it.
    int Run(Platform& desktop, TimerDispatch& ticks, ReplayDesktop& joysticks);

private:
    ReplayCommand command_;
    Script script_;
    // Goes after the desktop, which the caller made after preparing it.
    ReplaySettingsFolder settings_;
};

}  // namespace gimbalo
