#include "platform/common/pixel_scale.h"

#include <algorithm>
#include <cmath>

namespace gimbalo {

namespace {
double PixelsPerUnit(Unit unit) {
    return unit == Unit::Twips ? 1.0 / kTwipsPerPixel : 1.0;
}
}  // namespace

PixelScale::PixelScale(Unit unit, double screenScale)
    : factor_(PixelsPerUnit(unit) * screenScale) {}

PixelScale PixelScale::AtDpi(Unit unit, int dpi) {
    return PixelScale(PixelsPerUnit(unit) * dpi / kReferenceDpi);
}

int PixelScale::ToPixels(int length) const {
    return static_cast<int>(std::lround(length * factor_));
}

Bounds PixelScale::ToPixelBounds(const Bounds& bounds) const {
    const int left = ToPixels(bounds.left);
    const int top = ToPixels(bounds.top);
    const int right = ToPixels(bounds.left + bounds.width);
    const int bottom = ToPixels(bounds.top + bounds.height);
    return Bounds{left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

}  // namespace gimbalo
