// Other processes as /proc shows them: which a process started, and whether
// one still runs.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace gimbalo::testing {

// The running children of `parent` whose executable file is named `name`.
inline std::vector<pid_t> ChildrenNamed(pid_t parent, const std::string& name) {
    std::vector<pid_t> children;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // "PID (COMMAND) STATE PPID ...": the command may hold blanks.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos || close + 4 >= line.size()) continue;
        if (std::stol(line.substr(close + 4)) != parent) continue;
        const auto executable = std::filesystem::read_symlink(entry.path() / "exe", error);
        if (!error && executable.filename() == name) children.push_back(std::stoi(pid));
    }
    return children;
}

// Whether `pid` is a process that has not ended (a zombie has).
inline bool ProcessRunning(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z' &&
           line[close + 2] != 'X';
}

}  // namespace gimbalo::testing
