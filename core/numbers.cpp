#include "core/numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

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
    std::string number(text.substr(start, i - start));
    double value = std::strtod(number.c_str(), nullptr);
    if (used) *used = i;
    return value;
}

double SpeedValue(std::string_view text) {
    return LeadingNumber(text).value_or(0.0);
}

std::string FormatNumber(double value) {
    if (value == 0.0) return "0";  // also turns -0 into 0
    char buffer[40];
    // Fifteen significant digits, as the desktop writes a double.
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return buffer;
}

}  // namespace gimbalo
