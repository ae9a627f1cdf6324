#include "platform/linux/button_guardian.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

extern char** environ;

namespace gimbalo {

namespace {
// Beside the executable in a build tree or an unpacked archive; else where
// an installed copy keeps it, below its own prefix (a package installs under
// another prefix than the build's) or below the configured one.
std::string GuardianProgram() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    std::vector<std::string> candidates;
    if (!error) {
        candidates.push_back((executable.parent_path() / "gimbalo-guardian").string());
        candidates.push_back((executable.parent_path() / GIMBALO_INSTALLED_GUARDIAN_FROM_BINARY)
                                 .lexically_normal()
                                 .string());
    }
    candidates.emplace_back(GIMBALO_INSTALLED_GUARDIAN);
    for (const std::string& candidate : candidates)
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    return {};
}

// posix_spawn's attributes and file actions, freed with the object.
struct SpawnSettings {
    SpawnSettings() {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSettings() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
};
}  // namespace

void TellGuardian(int channel, uint32_t held) {
    if (channel < 0) return;
    const unsigned char byte = static_cast<unsigned char>(held & kGuardedButtons);
    // A full channel means a guardian that does not read; the next change
    // carries the whole state again.
    [[maybe_unused]] const ssize_t sent = send(channel, &byte, 1, MSG_DONTWAIT | MSG_NOSIGNAL);
}

std::unique_ptr<ButtonGuardian> ButtonGuardian::Start(const std::string& display,
                                                      unsigned long marker) {
    const std::string program = GuardianProgram();
    if (program.empty()) return nullptr;
    // Close-on-exec: no other program the program starts holds the channel
    // open past the program's death.
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return nullptr;

    SpawnSettings settings;
    // Its end is its standard input; it holds nothing of the program's
    // standard output, so a reader of that sees the end when the program
    // ends.
    posix_spawn_file_actions_adddup2(&settings.actions, ends[1], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&settings.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    // A process group of its own: a terminal's Ctrl+C or hang-up, or a kill
    // of the program's group, does not take it along before it has let go.
    // Signals blocked or ignored by the program are no concern of its.
    posix_spawnattr_setflags(&settings.attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                       POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&settings.attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&settings.attributes, &signals);
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&settings.attributes, &signals);

    std::string displayArgument = display;
    std::string markerArgument = std::to_string(marker);
    std::string programArgument = program;
    char* argv[] = {programArgument.data(), displayArgument.data(), markerArgument.data(), nullptr};
    pid_t pid = -1;
    const int failed =
        posix_spawn(&pid, program.c_str(), &settings.actions, &settings.attributes, argv, environ);
    close(ends[1]);
    if (failed != 0) {
        close(ends[0]);
        return nullptr;
    }
    return std::unique_ptr<ButtonGuardian>(new ButtonGuardian(pid, ends[0]));
}

ButtonGuardian::~ButtonGuardian() {
    close(channel_);
    // It ends at once when nothing is held, and within a few seconds in any
    // case (guardian_main.cpp).
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace gimbalo
