#include "platform/linux/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/linux/private_folders.h"

namespace gimbalo {

namespace {
constexpr const char* kLockName = "gimbalo.lock";

enum class Lock { Taken, Held, Untrusted };

// Never follows a link and never waits: a pipe put in the lock's place opens
// at once and is then refused. Read-only is enough for flock, so a lock file
// without write permission still serves. The lock stays out of every program
// the program starts (close-on-exec), which would otherwise hold it on.
Lock TryLockIn(const PrivateFolder& place, int& lock) {
    const int folder = OpenPrivateFolder(place.path, place.others);
    if (folder < 0) return Lock::Untrusted;
    const int file =
        openat(folder, kLockName,
               O_RDONLY | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
    close(folder);
    struct stat status {};
    if (file < 0 || fstat(file, &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_uid != geteuid()) {
        if (file >= 0) close(file);
        return Lock::Untrusted;
    }
    int locked;
    while ((locked = flock(file, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (locked == 0) {
        lock = file;
        return Lock::Taken;
    }
    const bool held = errno == EWOULDBLOCK;
    close(file);
    return held ? Lock::Held : Lock::Untrusted;
}
}  // namespace

InstanceLock::~InstanceLock() {
    if (lock_ >= 0) close(lock_);
}

bool InstanceLock::AnotherInstanceRunning() {
    if (another_) return *another_;
    for (int rank = 0; rank < kLockFolders; ++rank) {
        const Lock lock = TryLockIn(LockFolder(rank), lock_);
        if (lock == Lock::Untrusted) continue;
        another_ = lock == Lock::Held;
        return *another_;
    }
    std::fprintf(stderr,
                 "gimbalo: no folder of this user's alone holds the lock that keeps a second "
                 "copy from starting; starting without it\n");
    another_ = false;
    return false;
}

}  // namespace gimbalo
