#include "platform/windows/win32_colours.h"

namespace gimbalo {

namespace {

Rgb System(int index) {
    return FromColorRef(GetSysColor(index));
}

}  // namespace

std::optional<ControlColours> ColoursOf(const Control& control) {
    const ControlDesign& design = control.Layout();
    switch (control.Kind()) {
        case ControlKind::CheckBox: {
            // The desktop's window colours as a pair, unless declared.
            const Rgb back = design.backColor.value_or(System(COLOR_WINDOW));
            return ControlColours{
                ReadableOn(design.foreColor.value_or(System(COLOR_WINDOWTEXT)), back), back, false};
        }
        case ControlKind::ComboBox:
        case ControlKind::CommandButton:
            if (!design.foreColor && !design.backColor) return std::nullopt;
            [[fallthrough]];
        default: {
            const Rgb back = control.BackgroundBehind();
            return ControlColours{
                ReadableOn(design.foreColor.value_or(System(COLOR_WINDOWTEXT)), back), back,
                design.transparent};
        }
    }
}

Rgb ColourAround(const Control& control) {
    const Control* holder = control.Container();
    return holder != nullptr ? holder->BackgroundBehind() : control.Owner().Layout().backColor;
}

HBRUSH BrushCache::Get(Rgb colour) {
    auto& brush = brushes_[colour];
    if (!brush) brush.reset(CreateSolidBrush(ToColorRef(colour)));
    return brush.get();
}

}  // namespace gimbalo
