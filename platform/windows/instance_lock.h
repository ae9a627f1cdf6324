// Whether another copy of the program runs in this user's session: a named
// mutex, made by the first copy and held until it ends.
#pragma once

#include <optional>

#include "platform/windows/win32.h"

namespace gimbalo {

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Asks once, making the mutex when there is none; the same answer after.
    bool AnotherInstanceRunning();

private:
    HANDLE mutex_ = nullptr;
    std::optional<bool> another_;
};

}  // namespace gimbalo
