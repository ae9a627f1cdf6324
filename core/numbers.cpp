#include "core/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace gimbalo {

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    double floor = std::floor(value);
    double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
}  // namespace

std::optional<double> LeadingNumber(std::string_view text, std::size_t* used) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    // An exponent counts only when digits follow it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        std::size_t expStart = j;
        while (j < text.size() && IsDigit(text[j])) ++j;
        if (j > expStart) i = j;
    }
    // Read with from_chars, which always takes a point as the decimal
    // separator: the C library's conversions follow the user's locale, and
    // an Italian desktop would read "1.5" as 1.
    std::string_view number = text.substr(start, i - start);
    const bool negative = number.front() == '-';
    if (number.front() == '+' || negative) number.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too large becomes infinite, too small becomes 0, as strtod gives.
        const std::size_t exponent = number.find_first_of("eE");
        const bool tiny = exponent != std::string_view::npos && exponent + 1 < number.size() &&
                          number[exponent + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    if (used) *used = i;
    return negative ? -value : value;
}

double SpeedValue(std::string_view text) {
    return LeadingNumber(text).value_or(0.0);
}

std::string FormatNumber(double value) {
    if (value == 0.0) return "0";  // also turns -0 into 0
    // Fifteen significant digits, as the desktop writes a double, with a
    // point whatever the user's locale says.
    char buffer[40];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (error != std::errc()) return "0";
    std::string text(buffer, end);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

}  // namespace gimbalo
