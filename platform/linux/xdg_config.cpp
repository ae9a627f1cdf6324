#include "platform/linux/xdg_config.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace gimbalo {

namespace {
bool UsableHome(const std::string& path) {
    if (path.empty() || path[0] != '/') return false;
    if (std::filesystem::path(path).lexically_normal() == "/") return false;
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

std::string PasswordDatabaseHome() {
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    int failure = 0;
    while ((failure = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found)) ==
               ERANGE &&
           buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (failure != 0 || found == nullptr || found->pw_dir == nullptr) return {};
    return found->pw_dir;
}
}  // namespace

std::string UserHome() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && UsableHome(home)) return home;
    std::string fromDatabase = PasswordDatabaseHome();
    return UsableHome(fromDatabase) ? fromDatabase : std::string();
}

std::string XdgConfigHome() {
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured != nullptr && configured[0] == '/') return configured;
    const std::string home = UserHome();
    return home.empty() ? home : home + "/.config";
}

}  // namespace gimbalo
