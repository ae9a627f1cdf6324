#include "platform/linux/instance_lock.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace gimbalo {

InstanceLock::InstanceLock() = default;
InstanceLock::~InstanceLock() = default;

bool InstanceLock::AnotherInstanceRunning() {
    if (another_) return *another_;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    lock_ = std::make_unique<QLockFile>(folder + QStringLiteral("/gimbalo.lock"));
    // A lock whose process is gone is stale at once, so a copy that was
    // killed does not keep the next one from starting.
    lock_->setStaleLockTime(0);
    another_ = !lock_->tryLock(0) && lock_->error() == QLockFile::LockFailedError;
    return *another_;
}

}  // namespace gimbalo
