#include "platform/windows/instance_lock.h"

namespace gimbalo {

namespace {
// One name per user session: another user's copy does not count.
constexpr wchar_t kInstanceMutex[] = L"Local\\Gimbalo.SingleInstance";
}  // namespace

bool InstanceLock::AnotherInstanceRunning() {
    if (another_) return *another_;
    // Held until the program ends; Windows lets go of it with the process,
    // so a copy that was killed does not keep the next one from starting.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutex);
    another_ = mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    mutex_.reset(mutex);
    return *another_;
}

}  // namespace gimbalo
