// Colours of the declared controls as the WM_CTLCOLOR* messages hand them
// out: text that always reads on its background, and brushes made once.
#pragma once

#include "platform/windows/win32.h"

#include <map>
#include <memory>
#include <optional>
#include <type_traits>

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

// Solid brushes by colour, made once each and deleted with the cache.
class BrushCache {
public:
    HBRUSH Get(Rgb colour);

private:
    struct DeleteBrush {
        void operator()(HBRUSH brush) const { DeleteObject(brush); }
    };

    std::map<Rgb, std::unique_ptr<std::remove_pointer_t<HBRUSH>, DeleteBrush>> brushes_;
};

}  // namespace gimbalo
