// Runs a piece of a test as a user without root's rights, so that file
// permissions mean for the program what they mean for a user: root reads
// and writes whatever the mode says. Under root the piece runs in a child
// process as `nobody`; otherwise it runs here.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace gimbalo::testing {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

inline bool RunningAsRoot() {
    return ::geteuid() == 0;
}

// Gives `path` to the user that RunUnprivileged runs as.
inline void GiveToUnprivilegedUser(const std::string& path) {
    if (RunningAsRoot() && ::chown(path.c_str(), kNobody, kNoGroup) != 0) ::perror(path.c_str());
}

// Runs `body`, which returns what went wrong (empty when nothing did), as an
// unprivileged user; returns its answer, or why it could not run.
inline std::string RunUnprivileged(const std::function<std::string()>& body) {
    if (!RunningAsRoot()) return body();
    int channel[2];
    if (::pipe(channel) != 0) return "no pipe to the child";
    const pid_t child = ::fork();
    if (child < 0) return "no child process";
    if (child == 0) {
        ::close(channel[0]);
        std::string answer;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0)
            answer = "could not become nobody";
        else
            answer = body();
        const char* bytes = answer.data();
        std::size_t left = answer.size();
        while (left > 0) {
            const ssize_t written = ::write(channel[1], bytes, left);
            if (written <= 0) break;
            bytes += written;
            left -= static_cast<std::size_t>(written);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string answer;
    char block[512];
    ssize_t got;
    while ((got = ::read(channel[0], block, sizeof block)) > 0)
        answer.append(block, static_cast<std::size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) answer += " (the child did not end well)";
    return answer;
}

}  // namespace gimbalo::testing
