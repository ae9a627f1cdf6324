// Reads the fields of a text file the way list input does: leading blanks are
// skipped, a field ends at a comma or a line end, and a field that begins with
// a double quotation mark runs to the closing one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gimbalo {

class ListInputReader {
public:
    explicit ListInputReader(std::string_view content) : text_(content) {}
    // The next field, or nothing past the end of the text.
    std::optional<std::string> NextField();

private:
    void SkipDelimiter();
    std::string_view text_;
    std::size_t pos_ = 0;
};

// A field read as a signed 16-bit number: decimal, optionally signed, with an
// optional fraction (rounded half to even) and exponent. Nothing when the
// field is not a number or does not fit.
std::optional<int16_t> ParseInteger16(std::string_view field);

}  // namespace gimbalo
