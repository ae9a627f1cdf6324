// The program's text is UTF-8 on Windows too; Win32 is called by its wide
// (W) names, and text is converted here, at the seam, and nowhere else.
#pragma once

#include <string>
#include <string_view>

namespace gimbalo {

// UTF-8 to UTF-16. A byte that is not UTF-8 becomes U+FFFD.
std::wstring Wide(std::string_view utf8);

// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view wide);

// Text in the system's ANSI code page (GetACP) to UTF-8, as files saved by
// older Windows programs hold it. Where that code page is UTF-8 itself, the
// bytes (which are not UTF-8) are read as Windows-1252.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace gimbalo
