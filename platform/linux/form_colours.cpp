#include "platform/linux/form_colours.h"

#include <QWidget>

namespace gimbalo {

namespace {

// The states a user reads; a disabled control keeps the desktop's greyed look.
void SetColour(QPalette& palette, QPalette::ColorRole role, const QColor& colour) {
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
}

// Whether the widget paints its own face in the desktop's colours.
bool DrawsItsOwnFace(ControlKind kind) {
    return kind == ControlKind::ComboBox || kind == ControlKind::CommandButton;
}

// A list keeps the desktop's field colours, but its edge must show on the
// form's background, whatever the desktop's window colour: styles draw the
// edge a shade darker than the window colour (Qt's own style at 140%), so
// that colour moves toward black or white until the edge contrasts with the
// form as an outline must.
void SetFieldEdge(QPalette& palette, const QPalette& desktop, Rgb behind) {
    constexpr int kEdgeShade = 140;
    const QColor from = desktop.color(QPalette::Window);
    const QColor toward = ToQColor(StrongestOn(behind));
    QColor window = from;
    for (int step = 1;
         step <= 20 && ContrastRatio(FromQColor(window.darker(kEdgeShade)), behind) < kMarkContrast;
         ++step) {
        const double share = step / 20.0;
        window = QColor::fromRgbF(
            static_cast<float>(from.redF() + (toward.redF() - from.redF()) * share),
            static_cast<float>(from.greenF() + (toward.greenF() - from.greenF()) * share),
            static_cast<float>(from.blueF() + (toward.blueF() - from.blueF()) * share));
    }
    SetColour(palette, QPalette::Window, window);
}

}  // namespace

QColor ToQColor(Rgb colour) {
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

Rgb FromQColor(const QColor& colour) {
    return RGB(colour.red(), colour.green(), colour.blue());
}

void ApplyColours(const Control& control, QWidget& widget, const QPalette& desktop) {
    const ControlDesign& design = control.Layout();
    QPalette palette = widget.palette();
    const Rgb behind = control.BackgroundBehind();

    // Focus marks are drawn in the highlight, on or beside the form's
    // background.
    SetColour(palette, QPalette::Highlight,
              ToQColor(ReadableOn(FromQColor(desktop.color(QPalette::Highlight)), behind,
                                  kMarkContrast)));

    // A check box without a fill of its own is part of the form's surface:
    // its row and its tick box take the background declared behind it.
    const bool declaredFill = design.backColor.has_value() && !design.transparent;
    const bool onForm = !declaredFill && control.Kind() == ControlKind::CheckBox;
    std::optional<Rgb> fill;
    if (declaredFill) {
        fill = *design.backColor;
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
            SetColour(palette, role, ToQColor(*fill));
    } else if (onForm) {
        fill = behind;
        SetColour(palette, QPalette::Base, ToQColor(behind));
        widget.setBackgroundRole(QPalette::Base);
    }
    // Without a fill the control shows its container's background.
    widget.setAutoFillBackground(fill.has_value());

    if (control.Kind() == ControlKind::ComboBox) SetFieldEdge(palette, desktop, behind);
    if (!DrawsItsOwnFace(control.Kind()) || design.foreColor) {
        const Rgb background = fill.value_or(behind);
        Rgb text = FromQColor(desktop.color(QPalette::WindowText));
        // A declared colour keeps its hue; the desktop's own text colour,
        // meant for another background, gives way to black or white.
        if (design.foreColor)
            text = ReadableOn(*design.foreColor, background);
        else if (ContrastRatio(text, background) < kTextContrast)
            text = StrongestOn(background);
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            SetColour(palette, role, ToQColor(text));
        // Styles draw the frame of the tick box from the window colour: in
        // the text's colour it shows on the fill, unticked as well.
        if (onForm) SetColour(palette, QPalette::Window, ToQColor(text));
    }
    widget.setPalette(palette);
}

void ApplyFormColours(const FormDesign& design, QWidget& window, const QPalette& desktop) {
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, ToQColor(design.backColor));
    Rgb text = FromQColor(desktop.color(QPalette::WindowText));
    if (ContrastRatio(text, design.backColor) < kTextContrast) text = StrongestOn(design.backColor);
    SetColour(palette, QPalette::WindowText, ToQColor(text));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

}  // namespace gimbalo
