// Files through the operating system, for what the program reads (settings,
// language files) and writes (settings, translation page, manifest).
//
// Reading opens only regular files and never waits: a pipe, a device or a
// folder under the name is refused on the opened handle, and a file longer
// than the caller's limit is not read at all. Writing goes to a new file
// beside the old one that is flushed to disk and then put in its place, so a
// crash or a power cut leaves the old file or the new one, never a mix; the
// new file keeps the old one's mode and owner.
//
// One implementation per operating system (POSIX, Win32), chosen by the
// build. Paths are the program's text: UTF-8 (both desktops), or the
// system's 8-bit code page when `textIsUtf8` is false.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace gimbalo {

// A path held as the program's text, for the file system: UTF-8 on a UTF-8
// program (both desktops), the system's 8-bit code page otherwise.
inline std::filesystem::path FileSystemPath(const std::string& path, bool textIsUtf8) {
    if (!textIsUtf8) return std::filesystem::path(path);
    const std::u8string utf8(path.begin(), path.end());
    return std::filesystem::path(utf8);
}

enum class ReadStatus {
    Read,        // `bytes` holds the file, or what was read before a read failed
    Missing,     // nothing of that name, or a folder on the way is missing
    Unreadable,  // something is there, but not a regular file this user may read
    TooLarge,    // a regular file longer than the limit; nothing was read
};

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
};

// Reads the regular file at `path` when it holds at most `limit` bytes.
ReadResult ReadRegularFile(const std::string& path, std::size_t limit, bool textIsUtf8);

// What replacing a file does with a symbolic link (on Windows, any reparse
// point) that stands at its path.
enum class LinkAtPath {
    // Looked through: the file it leads to gives the new file its mode, owner
    // and read-only state, and is rewritten in place when the folder takes no
    // new file. Only for the settings file, whose caller hands the link's
    // target as the path wherever it can (a settings file kept with the
    // user's other configuration and linked into place keeps the link).
    Followed,
    // Replaced: the link itself gives way to the new file, and whatever it
    // leads to is never opened, written or replaced. Every other file the
    // program writes (the translation page, the manifest).
    Replaced,
};

enum class WriteStatus {
    Replaced,        // the new file took the old one's place, or was made new
    WrittenInPlace,  // no file could be made in the folder: the file was rewritten
    ReadOnly,        // the file is read-only for this user and was left alone
    TemporaryTaken,  // a file of the temporary name exists; nothing was done
    Failed,          // nothing was changed
};

// Writes `content` to `path` through the new file `temporaryPath` in the same
// folder: written, given the mode and owner of the file at `path`, flushed,
// renamed over `path`, and the folder flushed. When the folder takes no new
// file (or the owner cannot be kept) but the file at `path` is writable, the
// file is rewritten in place, after making room for the new text so that a
// full disk fails before a byte changes. A file at `path` that is read-only
// is never replaced. `links` says what happens to a link at `path`.
WriteStatus WriteFileThroughTemporary(const std::string& path, const std::string& temporaryPath,
                                      std::string_view content, bool textIsUtf8,
                                      LinkAtPath links = LinkAtPath::Replaced);

}  // namespace gimbalo
