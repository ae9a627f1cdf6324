// Regular-file reads and whole-file replacement on Windows, through the wide
// calls so that every path names the same file whatever its letters.
#include <windows.h>
// windows.h names some calls by macros that clash with the program's words.
#undef ReplaceFile

#include <algorithm>
#include <cstdint>

#include "platform/file_system.h"
#include "platform/files/bounded_read.h"

namespace gimbalo {
namespace {

// A handle closed when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (Valid()) ::CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    bool Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

// The path as the wide calls take it; empty when the text cannot be
// converted (bytes that are not UTF-8 on a UTF-8 program, or a NUL).
std::wstring WidePath(const std::string& path, bool textIsUtf8) {
    if (path.empty() || path.find('\0') != std::string::npos) return {};
    const UINT codePage = textIsUtf8 ? CP_UTF8 : CP_ACP;
    const DWORD flags = textIsUtf8 ? MB_ERR_INVALID_CHARS : 0;
    const int length = static_cast<int>(path.size());
    const int needed = ::MultiByteToWideChar(codePage, flags, path.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (::MultiByteToWideChar(codePage, flags, path.data(), length, wide.data(), needed) != needed)
        return {};
    return wide;
}

// The attributes a replaced file keeps; read-only files are never replaced.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool IsMissingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
}

bool WriteAll(HANDLE file, std::string_view content) {
    while (!content.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, content.data(), chunk, &written, nullptr) || written == 0)
            return false;
        content.remove_prefix(written);
    }
    return true;
}

bool SetSize(HANDLE file, std::size_t size) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(size);
    return ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
}

HANDLE OpenExistingForWriting(const std::wstring& path) {
    return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// After a replace, the file's new data and its entry reach the disk.
void FlushFile(const std::wstring& path) {
    Handle file(OpenExistingForWriting(path));
    if (file.Valid()) ::FlushFileBuffers(file.Get());
}

WriteStatus WriteInPlace(const std::wstring& path, std::string_view content, LinkAtPath links) {
    // Opened as it stands when a link must not be written through, and
    // refused if it turned out to be one.
    const DWORD linkFlag = links == LinkAtPath::Replaced ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
    Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | linkFlag, nullptr));
    if (!file.Valid() || ::GetFileType(file.Get()) != FILE_TYPE_DISK) return WriteStatus::Failed;
    BY_HANDLE_FILE_INFORMATION info;
    if (linkFlag != 0 && (!::GetFileInformationByHandle(file.Get(), &info) ||
                          (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0))
        return WriteStatus::Failed;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.Get(), &size)) return WriteStatus::Failed;
    // Room first, so a full disk fails before the old text changes.
    if (static_cast<ULONGLONG>(size.QuadPart) < content.size() &&
        !SetSize(file.Get(), content.size()))
        return WriteStatus::Failed;
    LARGE_INTEGER start;
    start.QuadPart = 0;
    if (!::SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) ||
        !WriteAll(file.Get(), content) || !SetSize(file.Get(), content.size()) ||
        !::FlushFileBuffers(file.Get()) || !file.Close())
        return WriteStatus::Failed;
    return WriteStatus::WrittenInPlace;
}

}  // namespace

ReadResult ReadRegularFile(const std::string& path, std::size_t limit, bool textIsUtf8) {
    ReadResult result;
    const std::wstring wide = WidePath(path, textIsUtf8);
    if (wide.empty()) return result;
    Handle file(::CreateFileW(wide.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        result.status =
            IsMissingError(::GetLastError()) ? ReadStatus::Missing : ReadStatus::Unreadable;
        return result;
    }
    result.status = ReadStatus::Unreadable;
    // A console, a printer port or a pipe under the name is no file.
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK) return result;
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return result;
    const uint64_t size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > limit) {
        result.status = ReadStatus::TooLarge;
        return result;
    }
    return ReadUpTo(limit, [&file](char* block, std::size_t wanted) -> std::size_t {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), block, static_cast<DWORD>(wanted), &got, nullptr)) return 0;
        return got;
    });
}

WriteStatus WriteFileThroughTemporary(const std::string& path, const std::string& temporaryPath,
                                      std::string_view content, bool textIsUtf8, LinkAtPath links) {
    const std::wstring target = WidePath(path, textIsUtf8);
    const std::wstring temporary = WidePath(temporaryPath, textIsUtf8);
    if (target.empty() || temporary.empty()) return WriteStatus::Failed;
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && ::GetLastError() != ERROR_FILE_NOT_FOUND) return WriteStatus::Failed;
    if (exists) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return WriteStatus::Failed;
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return WriteStatus::ReadOnly;
    }
    // A link to be replaced is moved over as it stands: never through
    // ReplaceFileW, nor rewritten in place.
    const bool replacedLink =
        links == LinkAtPath::Replaced && exists && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;

    Handle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return WriteStatus::TemporaryTaken;
        if (exists && !replacedLink && error == ERROR_ACCESS_DENIED)
            return WriteInPlace(target, content, links);
        return WriteStatus::Failed;
    }
    bool written = WriteAll(file.Get(), content) && ::FlushFileBuffers(file.Get());
    written = file.Close() && written;
    if (!written) {
        ::DeleteFileW(temporary.c_str());
        return WriteStatus::Failed;
    }
    if (exists && !replacedLink) {
        // The old file's attributes carry over to the new one (hidden stays
        // hidden), and with ReplaceFileW its security, the owner included.
        ::SetFileAttributesW(temporary.c_str(), attributes & kKeptAttributes);
        if (::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            FlushFile(target);
            return WriteStatus::Replaced;
        }
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (exists ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!::MoveFileExW(temporary.c_str(), target.c_str(), flags)) {
        ::DeleteFileW(temporary.c_str());
        return WriteStatus::Failed;
    }
    return WriteStatus::Replaced;
}

}  // namespace gimbalo
