// Places and sizes in a form's unit (twips or pixels at 96 DPI) turned into
// pixels on a screen, the same on every desktop.
#pragma once

#include "platform/forms.h"

namespace gimbalo {

// The density the forms' pixels are declared at.
constexpr int kReferenceDpi = 96;

class PixelScale {
public:
    // At a screen scale: the screen's dots per inch over 96.
    PixelScale(Unit unit, double screenScale);
    // At `dpi` dots per inch.
    static PixelScale AtDpi(Unit unit, int dpi);

    int ToPixels(int length) const;
    // Edges are rounded, not sizes, so neighbouring controls neither overlap
    // nor leave gaps; a width or height never falls below 0.
    Bounds ToPixelBounds(const Bounds& bounds) const;

private:
    explicit PixelScale(double factor) : factor_(factor) {}

    double factor_;
};

}  // namespace gimbalo
