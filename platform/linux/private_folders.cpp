#include "platform/linux/private_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/linux/xdg_config.h"

namespace gimbalo {

namespace {
std::string FullPathVariable(const char* name) {
    const char* value = std::getenv(name);
    // The XDG rule: a relative path is invalid and ignored.
    return value != nullptr && value[0] == '/' ? value : "";
}

// The folder at `path`, opened without following a link, when it is one of
// this user's; its status in `status`.
int OpenOwnFolder(const std::string& path, struct stat& status) {
    if (path.empty()) return -1;
    const int folder = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) return -1;
    if (fstat(folder, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid())
        return folder;
    close(folder);
    return -1;
}

bool Sound(const std::string& path, OthersMay others) {
    const int folder = OpenPrivateFolder(path, others);
    if (folder < 0) return false;
    close(folder);
    return true;
}
}  // namespace

int OpenPrivateFolder(const std::string& path, OthersMay others) {
    struct stat status {};
    const int folder = OpenOwnFolder(path, status);
    const mode_t forbidden = others == OthersMay::Nothing ? 077 : 022;
    if (folder >= 0 && (status.st_mode & forbidden) != 0) {
        close(folder);
        return -1;
    }
    return folder;
}

std::string XdgRuntimeFolder() {
    const std::string folder = FullPathVariable("XDG_RUNTIME_DIR");
    return Sound(folder, OthersMay::Nothing) ? folder : "";
}

std::string OwnRuntimeFolder() {
    std::string base = FullPathVariable("TMPDIR");
    if (base.empty()) base = "/tmp";
    const std::string path = base + "/gimbalo-" + std::to_string(geteuid());
    mkdir(path.c_str(), 0700);
    // One of this user's with a wider mode (made under an older umask) is
    // narrowed: only its owner can have made it. Anyone else's is not used.
    struct stat status {};
    const int folder = OpenOwnFolder(path, status);
    if (folder < 0) return "";
    const bool narrow = (status.st_mode & 077) == 0 || fchmod(folder, 0700) == 0;
    close(folder);
    return narrow ? path : "";
}

PrivateFolder LockFolder(int rank) {
    switch (rank) {
        case 0:
            return {XdgRuntimeFolder(), OthersMay::Nothing};
        case 1:
            return {OwnRuntimeFolder(), OthersMay::Nothing};
        default: {
            const std::string config = XdgConfigHome();
            return {config.empty() ? config : config + "/gimbalo", OthersMay::Read};
        }
    }
}

void ProvideRuntimeFolder() {
    if (!XdgRuntimeFolder().empty()) return;
    const std::string own = OwnRuntimeFolder();
    if (!own.empty()) setenv("XDG_RUNTIME_DIR", own.c_str(), 1);
}

}  // namespace gimbalo
