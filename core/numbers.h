// Number conversions shared by the settings, the pointer and the polling tick.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gimbalo {

// Nearest integer, an exact half going to the even neighbour (99.5 -> 100,
// 100.5 -> 100). Infinite and NaN values are returned unchanged.
double RoundHalfEven(double value);

// The decimal number at the start of `text` after leading blanks: optional
// sign, digits with an optional point and fraction, optional exponent.
// Nothing when the text does not start with a number. `used`, when given,
// receives the number of characters consumed, leading blanks included.
std::optional<double> LeadingNumber(std::string_view text, std::size_t* used = nullptr);

// The numeric value of a speed text: its leading number, 0 when it has none.
double SpeedValue(std::string_view text);

// A number written the short way: "2", "1.5", "0.5", "-3", "1E+20".
std::string FormatNumber(double value);

}  // namespace gimbalo
