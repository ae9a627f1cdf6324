// The colours of forms and controls, and the contrast rules that keep text
// readable on them.
#pragma once

#include <cstdint>

namespace gimbalo {

using Rgb = uint32_t;
constexpr Rgb RGB(int red, int green, int blue) {
    return static_cast<Rgb>(red) | (static_cast<Rgb>(green) << 8) | (static_cast<Rgb>(blue) << 16);
}
constexpr int RedOf(Rgb colour) {
    return static_cast<int>(colour & 0xFF);
}
constexpr int GreenOf(Rgb colour) {
    return static_cast<int>((colour >> 8) & 0xFF);
}
constexpr int BlueOf(Rgb colour) {
    return static_cast<int>((colour >> 16) & 0xFF);
}
constexpr Rgb kWhite = RGB(255, 255, 255);
constexpr Rgb kBlack = RGB(0, 0, 0);

// Contrast of two colours as the Web Content Accessibility Guidelines measure
// it, from 1 (the same) to 21 (black on white).
double ContrastRatio(Rgb first, Rgb second);
// The least contrast between text and its background that keeps the text
// readable, and the least for a focus mark or a control's outline.
constexpr double kTextContrast = 4.5;
constexpr double kMarkContrast = 3.0;
// `colour` when it contrasts with `background` by at least `minimum`; else
// the same hue moved toward black (on a light background) or white, just
// far enough. Hosts draw every text that lies on a declared background in it.
Rgb ReadableOn(Rgb colour, Rgb background, double minimum = kTextContrast);
// Black or white, whichever contrasts more with `background`.
Rgb StrongestOn(Rgb background);

}  // namespace gimbalo
