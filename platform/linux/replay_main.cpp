// gimbalo-replay SCRIPT [--trace] [--poll] [--settings DIR]: runs the program with
// scripted joysticks in place of real ones (replay/script.h says what a
// script holds, replay/command.h the exit status). The settings file lives in
// DIR, or without it in a fresh temporary folder removed at exit; the user's
// own settings and the desktop's autostart entry are never touched.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/replay_platform.h"
#include "replay/command.h"
#include "replay/run_program.h"
#include "replay/script.h"

namespace {

bool ReadFileStart(const std::string& path, std::size_t limit, std::string& content,
                   std::string& reason) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return false;
    }
    char buffer[8192];
    std::size_t got;
    while (content.size() < limit && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (failed) reason = std::strerror(readErrno);
    return !failed;
}

}  // namespace

int main(int argc, char** argv) {
    gimbalo::ReplayCommand command;
    if (const std::optional<int> status =
            gimbalo::ParseReplayCommand(std::vector<std::string>(argv + 1, argv + argc), command))
        return *status;

    gimbalo::Script script;
    if (const std::optional<int> status =
            gimbalo::LoadReplayScript(command.scriptPath, ReadFileStart, script))
        return *status;

    // Each line as it happens, so a reader of a pipe follows the run.
    const bool trace = command.trace;
    if (trace) std::setvbuf(stdout, nullptr, _IOLBF, 0);

    // The script's own arguments are no business of the toolkit.
    int desktopArgc = 1;
    char* desktopArgv[] = {argv[0], nullptr};
    std::string error;
    std::unique_ptr<gimbalo::ReplayPlatform> platform =
        gimbalo::ReplayPlatform::Create(desktopArgc, desktopArgv, script, trace ? stdout : nullptr,
                                        command.settingsFolder, command.poll, error);
    if (!platform) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return gimbalo::RunReplayedProgram(*platform);
}
