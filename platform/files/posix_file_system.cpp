// Regular-file reads and whole-file replacement on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/file_system.h"
#include "platform/files/bounded_read.h"

namespace gimbalo {
namespace {

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now: on some file systems a failed write shows only here.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

int Open(const std::string& path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The folder that holds `path`, for flushing its entries.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncFolder(const std::string& path) {
    Descriptor folder(Open(FolderOf(path), O_RDONLY | O_DIRECTORY));
    if (folder.Valid()) ::fsync(folder.Get());
}

bool WritableByThisUser(const std::string& path, const struct stat& info) {
    // A file without any write bit counts as read-only even for root, as the
    // read-only attribute does on Windows.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

WriteStatus WriteInPlace(const std::string& path, std::string_view content, LinkAtPath links) {
    const int noFollow = links == LinkAtPath::Replaced ? O_NOFOLLOW : 0;
    Descriptor file(Open(path, O_WRONLY | O_NONBLOCK | noFollow));
    if (!file.Valid()) return WriteStatus::Failed;
    struct stat info;
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return WriteStatus::Failed;
    const auto size = static_cast<off_t>(content.size());
    if (size > info.st_size) {
        // Room first, so a full disk fails before the old text changes.
        const int error = ::posix_fallocate(file.Get(), 0, size);
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) return WriteStatus::Failed;
    }
    if (!WriteAll(file.Get(), content) || ::ftruncate(file.Get(), size) != 0 ||
        ::fsync(file.Get()) != 0 || !file.Close())
        return WriteStatus::Failed;
    return WriteStatus::WrittenInPlace;
}

}  // namespace

ReadResult ReadRegularFile(const std::string& path, std::size_t limit, bool) {
    ReadResult result;
    if (path.empty() || path.find('\0') != std::string::npos) return result;
    // Looked at before opening, so that no device is ever opened; and again
    // on the open descriptor, in case the name changed in between.
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        result.status =
            errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Unreadable;
        return result;
    }
    result.status = ReadStatus::Unreadable;
    if (!S_ISREG(info.st_mode)) return result;
    // Non-blocking: a pipe put under the name after the look never holds us.
    Descriptor file(Open(path, O_RDONLY | O_NONBLOCK));
    if (!file.Valid()) {
        if (errno == ENOENT || errno == ENOTDIR) result.status = ReadStatus::Missing;
        return result;
    }
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return result;
    if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > limit) {
        result.status = ReadStatus::TooLarge;
        return result;
    }
    return ReadUpTo(limit, [&file](char* block, std::size_t wanted) -> std::size_t {
        for (;;) {
            const ssize_t got = ::read(file.Get(), block, wanted);
            if (got < 0 && errno == EINTR) continue;
            return got > 0 ? static_cast<std::size_t>(got) : 0;
        }
    });
}

WriteStatus WriteFileThroughTemporary(const std::string& path, const std::string& temporaryPath,
                                      std::string_view content, bool, LinkAtPath links) {
    if (path.find('\0') != std::string::npos || temporaryPath.find('\0') != std::string::npos)
        return WriteStatus::Failed;
    struct stat old;
    const bool followed = links == LinkAtPath::Followed;
    const bool found = (followed ? ::stat(path.c_str(), &old) : ::lstat(path.c_str(), &old)) == 0;
    if (!found && errno != ENOENT) return WriteStatus::Failed;
    // A link that is replaced counts as no file: the new one takes its place
    // as a file made new, and nothing is written through it.
    const bool exists = found && !S_ISLNK(old.st_mode);
    if (exists) {
        if (!S_ISREG(old.st_mode)) return WriteStatus::Failed;
        if (!WritableByThisUser(path, old)) return WriteStatus::ReadOnly;
    }

    // Only this user can read the new file until it has the old one's mode.
    Descriptor temporary(
        Open(temporaryPath, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, exists ? 0600 : 0666));
    if (!temporary.Valid()) {
        if (errno == EEXIST) return WriteStatus::TemporaryTaken;
        if (exists && (errno == EACCES || errno == EPERM))
            return WriteInPlace(path, content, links);
        return WriteStatus::Failed;
    }
    bool written = WriteAll(temporary.Get(), content);
    bool keptOwnerAndMode = true;
    if (written && exists) {
        keptOwnerAndMode = ::fchmod(temporary.Get(), old.st_mode & 07777) == 0;
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
            keptOwnerAndMode =
                ::fchown(temporary.Get(), old.st_uid, old.st_gid) == 0 && keptOwnerAndMode;
    }
    written = written && ::fsync(temporary.Get()) == 0;
    written = temporary.Close() && written;
    if (!written || !keptOwnerAndMode) {
        ::unlink(temporaryPath.c_str());
        // A file of someone else's that this user may write keeps its owner
        // when it is rewritten where it is.
        return written ? WriteInPlace(path, content, links) : WriteStatus::Failed;
    }
    if (::rename(temporaryPath.c_str(), path.c_str()) != 0) {
        ::unlink(temporaryPath.c_str());
        return WriteStatus::Failed;
    }
    SyncFolder(path);
    return WriteStatus::Replaced;
}

}  // namespace gimbalo
