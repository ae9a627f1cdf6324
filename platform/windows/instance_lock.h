// Whether another copy of the program runs in this user's session: a named
// mutex, made by the first copy and held until it ends.
#pragma once

#include <memory>
#include <optional>

#include "platform/windows/win32.h"

namespace gimbalo {

class InstanceLock {
public:
    // Asks once, making the mutex when there is none; the same answer after.
    bool AnotherInstanceRunning();

private:
    struct CloseHandleOf {
        void operator()(HANDLE handle) const { CloseHandle(handle); }
    };

    std::unique_ptr<void, CloseHandleOf> mutex_;
    std::optional<bool> another_;
};

}  // namespace gimbalo
