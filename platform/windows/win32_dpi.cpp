#include "platform/windows/win32_dpi.h"

#include <cmath>

namespace gimbalo {

namespace {

using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiCall = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiCall = int(WINAPI*)(int, UINT);

// A function of user32 by name, nullptr where the system lacks it.
template <typename Call>
Call User32Call(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : kReferenceDpi;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kReferenceDpi;
}

}  // namespace

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32Call<GetDpiForWindowCall>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

RECT WindowRectFor(int width, int height, DWORD style, DWORD exStyle, int dpi) {
    static const auto adjustForDpi =
        User32Call<AdjustWindowRectExForDpiCall>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, width, height};
    if (adjustForDpi != nullptr)
        adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi));
    else
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return rect;
}

int SystemMetricFor(int index, int dpi) {
    static const auto metricsForDpi =
        User32Call<GetSystemMetricsForDpiCall>("GetSystemMetricsForDpi");
    if (metricsForDpi != nullptr) return metricsForDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, ScreenDpi());
}

DeviceScale::DeviceScale(Unit unit, int dpi)
    : PixelScale(AtDpi(unit, dpi > 0 ? dpi : kReferenceDpi)), dpi_(dpi > 0 ? dpi : kReferenceDpi) {}

RECT DeviceScale::ToPixels(const Bounds& bounds) const {
    const Bounds pixels = ToPixelBounds(bounds);
    return RECT{pixels.left, pixels.top, pixels.left + pixels.width, pixels.top + pixels.height};
}

int DeviceScale::FontHeight(double points) const {
    return -static_cast<int>(std::lround(points * dpi_ / 72.0));
}

int DeviceScale::Scaled(int pixels) const {
    return MulDiv(pixels, dpi_, kReferenceDpi);
}

}  // namespace gimbalo
