// Reading text files line by line and replacing a file whole, for the
// language files and the translation page.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gimbalo {

// A path held as the program's text, for the file system: UTF-8 on a UTF-8
// program, the ANSI code page otherwise.
std::filesystem::path FileSystemPath(const std::string& path, bool textIsUtf8);

// Splits text into lines. CR LF, a lone CR and a lone LF each end a line; a
// last line without an end still counts, and text that ends with a line end
// has no empty line after it.
std::vector<std::string> SplitLines(std::string_view text);

// The lines of the file at `path` in the program's text (see DecodeFileText).
// Nothing when the file cannot be opened; a read that fails part-way gives
// the lines read until then.
std::optional<std::vector<std::string>> ReadTextFileLines(const std::string& path, bool textIsUtf8);

// Writes `content` to a temporary file beside `path` and then puts it in
// place of `path`, so a failed write leaves the earlier file whole. False
// when the file could not be written.
bool ReplaceFile(const std::string& path, std::string_view content, bool textIsUtf8);

}  // namespace gimbalo
