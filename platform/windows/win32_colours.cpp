#include "platform/windows/win32_colours.h"

namespace gimbalo {

namespace {

Rgb System(int index) {
    return FromColorRef(GetSysColor(index));
}

// Stand-in until the forms declare their contrast rule.
Rgb Readable(Rgb text, Rgb) {
    return text;
}

}  // namespace

std::optional<ControlColours> ColoursOf(const Control& control, Rgb behind) {
    const ControlDesign& design = control.Layout();
    switch (control.Kind()) {
        case ControlKind::CheckBox: {
            // The desktop's window colours as a pair, unless declared.
            const Rgb back = design.backColor.value_or(System(COLOR_WINDOW));
            return ControlColours{
                Readable(design.foreColor.value_or(System(COLOR_WINDOWTEXT)), back), back, false};
        }
        case ControlKind::ComboBox:
        case ControlKind::CommandButton:
            if (!design.foreColor && !design.backColor) return std::nullopt;
            [[fallthrough]];
        default: {
            const Rgb back = design.backColor && !design.transparent ? *design.backColor : behind;
            return ControlColours{
                Readable(design.foreColor.value_or(System(COLOR_WINDOWTEXT)), back), back,
                design.transparent};
        }
    }
}

BrushCache::~BrushCache() {
    for (auto& [colour, brush] : brushes_) DeleteObject(brush);
}

HBRUSH BrushCache::Get(Rgb colour) {
    HBRUSH& brush = brushes_[colour];
    if (brush == nullptr) brush = CreateSolidBrush(ToColorRef(colour));
    return brush;
}

}  // namespace gimbalo
