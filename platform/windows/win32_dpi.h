// Dots per inch of the monitor a window is on, and places and sizes of a
// form's declaration turned into pixels at that density. The calls that know
// about per-monitor density are looked up at run time: older systems have
// only the one density of the screen.
#pragma once

#include "platform/windows/win32.h"

#include "platform/common/pixel_scale.h"
#include "platform/forms.h"

namespace gimbalo {

// The density a window is drawn at (its monitor's, for a per-monitor aware
// program; the screen's otherwise).
int WindowDpi(HWND window);
// The window rectangle (at 0, 0) that holds a client area of `width` x
// `height` pixels with the given styles at `dpi`.
RECT WindowRectFor(int width, int height, DWORD style, DWORD exStyle, int dpi);
// A system metric (SM_CXMENUCHECK, ...) at `dpi`.
int SystemMetricFor(int index, int dpi);

// Turns places and sizes in a form's unit into pixels at one density.
class DeviceScale : public PixelScale {
public:
    DeviceScale(Unit unit, int dpi);
    int Dpi() const { return dpi_; }
    using PixelScale::ToPixels;
    RECT ToPixels(const Bounds& bounds) const;
    // The height of a font of `points` points, as a LOGFONT takes it.
    int FontHeight(double points) const;
    // `pixels` at 96 DPI, at this density.
    int Scaled(int pixels) const;

private:
    int dpi_;
};

}  // namespace gimbalo
