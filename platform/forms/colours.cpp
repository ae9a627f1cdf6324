#include "platform/forms/colours.h"

#include <algorithm>
#include <cmath>

namespace gimbalo {

namespace {

double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Rgb colour) {
    return 0.2126 * Linear(RedOf(colour)) + 0.7152 * Linear(GreenOf(colour)) +
           0.0722 * Linear(BlueOf(colour));
}

int Towards(int from, int to, int step) {
    return from + static_cast<int>(std::lround((to - from) * step / 255.0));
}

}  // namespace

double ContrastRatio(Rgb first, Rgb second) {
    const double a = Luminance(first);
    const double b = Luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

Rgb StrongestOn(Rgb background) {
    return ContrastRatio(kBlack, background) >= ContrastRatio(kWhite, background) ? kBlack : kWhite;
}

Rgb ReadableOn(Rgb colour, Rgb background, double minimum) {
    if (ContrastRatio(colour, background) >= minimum) return colour;
    const Rgb target = StrongestOn(background);
    // Luminance only moves toward the target's, so the first step that is
    // enough is the least change.
    for (int step = 1; step <= 255; ++step) {
        const Rgb moved = RGB(Towards(RedOf(colour), RedOf(target), step),
                              Towards(GreenOf(colour), GreenOf(target), step),
                              Towards(BlueOf(colour), BlueOf(target), step));
        if (ContrastRatio(moved, background) >= minimum) return moved;
    }
    return target;
}

}  // namespace gimbalo
