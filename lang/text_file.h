// Reading text files line by line, for the language files and the
// translation page.
#pragma once

#include "core/file_io.h"
#include "platform/platform.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gimbalo {

// Splits text into lines. CR LF, a lone CR and a lone LF each end a line; a
// last line without an end still counts, and text that ends with a line end
// has no empty line after it.
std::vector<std::string> SplitLines(std::string_view text);

// The lines of the file at `path` in the program's text (see DecodeFileText;
// `fromAnsi` reads a file that is not UTF-8).
// Nothing when the file cannot be opened, is no regular file or is longer
// than kMaxFileBytes; a read that fails part-way gives the lines read until
// then.
std::optional<std::vector<std::string>> ReadTextFileLines(const std::string& path, bool textIsUtf8,
                                                          AnsiDecoder fromAnsi);

}  // namespace gimbalo
