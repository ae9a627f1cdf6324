// Paths, reading a file whole and replacing one safely, for the settings, the
// language files, the translation page and the manifest.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace gimbalo {

// A path held as the program's text, for the file system: UTF-8 on a UTF-8
// program, the ANSI code page otherwise.
std::filesystem::path FileSystemPath(const std::string& path, bool textIsUtf8);

// `folder` with `separator` appended unless it already ends in one; an empty
// folder gives the separator alone.
std::string AddSeparator(const std::string& folder, char separator);

// The bytes of the file at `path`; nothing when it cannot be opened. A read
// that fails part-way gives the bytes read until then.
std::optional<std::string> ReadWholeFile(const std::string& path, bool textIsUtf8);

// Writes `content` to a temporary file beside `path` and then puts it in
// place of `path`, so a failed write leaves the earlier file whole. False
// when the file could not be written.
bool ReplaceFile(const std::string& path, std::string_view content, bool textIsUtf8);

}  // namespace gimbalo
