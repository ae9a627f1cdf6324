// The program's run on a replay platform, the same on every desktop: the
// script's menu commands reach the program, start-up and the message loop
// run, and the trace gets its closing line. The exit status is the one
// replay/command.h gives for a run.
#pragma once

#include <string>

#include "app/program.h"
#include "replay/command.h"

namespace gimbalo {

template <typename ReplayPlatform>
int RunReplayedProgram(ReplayPlatform& platform) {
    Program program(platform);
    platform.SetMenuCommandRunner(
        [&program](const std::string& item) { return program.RunMenuCommand(item); });
    program.Start();
    // Start-up ends the program when another copy runs or no joystick answers.
    if (platform.ProgramEnded()) {
        platform.TraceEnd();
        return 1;
    }
    platform.RunMessageLoop([&program] { program.Exit(); });
    return platform.TraceEnd() ? 0 : kReplayTraceLost;
}

}  // namespace gimbalo
