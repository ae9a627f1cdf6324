#include "replay/replay_run.h"

#include <cstdio>

#include "app/program.h"
#include "replay/replay_platform.h"

namespace gimbalo {

std::optional<int> ReplayRun::Prepare(const std::vector<std::string>& arguments,
                                      const ReplaySystem& system) {
    if (const std::optional<int> status = ParseReplayCommand(arguments, command_)) return status;
    if (const std::optional<int> status =
            LoadReplayScript(command_.scriptPath, system.readFileStart, script_))
        return status;
    std::string error;
    if (!settings_.Prepare(command_.settingsFolder, system.makeTemporaryFolder, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return std::nullopt;
}

int ReplayRun::Run(Platform& desktop, TimerDispatch& ticks, ReplayDesktop& joysticks) {
    ReplayPlatform platform(desktop, ticks, joysticks, script_, command_.trace ? stdout : nullptr,
                            settings_.Path(), command_.poll);
    Program program(platform);
    platform.SetPollingTimer(program.PollingTimer());
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
