// Whether another copy of the program runs for this user: a lock file in the
// user's runtime folder, taken by the first copy and held until it ends.
#pragma once

#include <memory>
#include <optional>

class QLockFile;

namespace gimbalo {

class InstanceLock {
public:
    InstanceLock();
    ~InstanceLock();

    // Asks once, taking the lock when it is free; the same answer after.
    bool AnotherInstanceRunning();

private:
    std::unique_ptr<QLockFile> lock_;
    std::optional<bool> another_;
};

}  // namespace gimbalo
