// gimbalo-replay SCRIPT [--trace] [--poll] [--settings DIR]: runs the program with
// scripted joysticks in place of real ones (replay/script.h says what a
// script holds, replay/command.h the exit status). The settings file lives in
// DIR, or without it in a fresh temporary folder removed at exit; the user's
// own settings and the desktop's autostart entry are never touched.
#include <stdlib.h>

#include <QDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/linux_platform.h"
#include "replay/linux/scripted_joysticks.h"
#include "replay/replay_run.h"

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

bool MakeTemporaryFolder(std::string& path, std::string& error) {
    std::string pattern = QDir::tempPath().toStdString() + "/gimbalo-replay-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        error = "gimbalo-replay: cannot make a temporary settings folder: " +
                std::string(std::strerror(errno));
        return false;
    }
    path = pattern;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    gimbalo::ReplayRun run;
    if (const std::optional<int> status = run.Prepare(
            std::vector<std::string>(argv + 1, argv + argc), {ReadFileStart, MakeTemporaryFolder}))
        return *status;

    // Each line as it happens, so a reader of a pipe follows the run.
    if (run.Command().trace) std::setvbuf(stdout, nullptr, _IOLBF, 0);

    // The script's own arguments are no business of the toolkit.
    int desktopArgc = 1;
    char* desktopArgv[] = {argv[0], nullptr};
    std::string error;
    std::unique_ptr<gimbalo::LinuxPlatform> desktop =
        gimbalo::LinuxPlatform::Create(desktopArgc, desktopArgv, error);
    std::unique_ptr<gimbalo::ScriptedJoysticks> joysticks;
    if (desktop) joysticks = gimbalo::ScriptedJoysticks::Attach(*desktop, run.GetScript(), error);
    if (!joysticks) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return run.Run(*desktop, desktop->Timers(), *joysticks);
}
