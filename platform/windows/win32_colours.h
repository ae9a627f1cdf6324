// Colours of the declared controls as the WM_CTLCOLOR* messages hand them
// out: text that always reads on its background, and brushes made once.
#pragma once

#include "platform/windows/win32.h"

#include <map>
#include <optional>

#include "platform/forms.h"

namespace gimbalo {

constexpr COLORREF ToColorRef(Rgb colour) {
    // Both keep red in the low byte and blue in the third.
    return static_cast<COLORREF>(colour & 0xFFFFFF);
}
constexpr Rgb FromColorRef(COLORREF colour) {
    return static_cast<Rgb>(colour & 0xFFFFFF);
}

struct ControlColours {
    Rgb text;
    Rgb back;
    bool transparent;  // text drawn straight over what lies behind
};

// What a control of the form draws its text and background in: text always
// readable on the background the form declares behind it. Nothing for a
// control that keeps the desktop's own look (lists and buttons without
// declared colours).
std::optional<ControlColours> ColoursOf(const Control& control);
// The colour the form declares around a control: its container's.
Rgb ColourAround(const Control& control);

class BrushCache {
public:
    BrushCache() = default;
    ~BrushCache();
    BrushCache(const BrushCache&) = delete;
    BrushCache& operator=(const BrushCache&) = delete;
    HBRUSH Get(Rgb colour);

private:
    std::map<Rgb, HBRUSH> brushes_;
};

}  // namespace gimbalo
