// Whether another copy of the program runs for this user: an advisory lock
// (flock) on a file in a folder only the user can write, taken by the first
// copy and dropped by the kernel when it ends, however it ends.
#pragma once

#include <optional>

namespace gimbalo {

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Asks once, taking the lock when it is free; the same answer after. A
    // lock file nobody holds is a copy's that ended: it is taken. One that is
    // no regular file of this user's (a pipe, a link, another user's) is not
    // trusted: the next of the lock's folders is tried
    // (private_folders.h). With no folder
    // left, says so on the standard error and answers false.
    bool AnotherInstanceRunning();

private:
    int lock_ = -1;
    std::optional<bool> another_;
};

}  // namespace gimbalo
