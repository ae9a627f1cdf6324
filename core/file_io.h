// Paths, reading a file whole and replacing one safely, for the settings, the
// language files, the translation page and the manifest.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace gimbalo {

// The longest file the program reads. Settings and language files are a few
// kilobytes; anything longer is not one, and reading it whole could take all
// the memory there is.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 20;

// `folder` with `separator` appended unless it already ends in one; an empty
// folder gives the separator alone.
std::string AddSeparator(const std::string& folder, char separator);

// The bytes of the regular file at `path` when it holds at most
// kMaxFileBytes; pipes, devices and folders are never opened for reading.
ReadResult ReadSmallFile(const std::string& path, bool textIsUtf8);

// Whether `name` is one of the temporary files ReplaceFile makes for a file
// called `fileName`: that name, ".tmp" and one to six digits.
bool IsTemporaryFileName(std::string_view name, std::string_view fileName);

// Puts `content` in place of the file at `path` (see WriteFileThroughTemporary):
// a failure leaves the earlier file whole, a read-only file is left alone.
// A symbolic link at `path` stays a link whose target is replaced when
// `links` is Followed (the settings file only), and is itself replaced by
// the file when it is Replaced. Temporary files that an earlier, interrupted
// write left beside the file are removed first. False when the file could
// not be written.
bool ReplaceFile(const std::string& path, std::string_view content, bool textIsUtf8,
                 LinkAtPath links = LinkAtPath::Replaced);

}  // namespace gimbalo
