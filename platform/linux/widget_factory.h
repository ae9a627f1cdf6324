// Native widgets for declared controls, and the conversions from a form's
// declaration (unit, fonts, colours, captions) to what Qt takes.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <string>

#include "platform/common/pixel_scale.h"
#include "platform/forms.h"
#include "platform/linux/form_colours.h"

class QWidget;

namespace gimbalo {

// Logical DPI of the primary screen over 96: fonts in points grow with it,
// so places and sizes grow with it too and text keeps fitting its control.
double ScreenScale();

// Turns places and sizes in a form's unit into pixels on this screen.
class FormScale : public PixelScale {
public:
    using PixelScale::PixelScale;
    using PixelScale::ToPixels;
    QRect ToPixels(const Bounds& bounds) const;
};

// Families to try for a declared font, the declared one first: fonts that a
// Linux desktop rarely has give way to metric-compatible or similar faces.
QStringList FontFamilies(const std::string& name);
QFont ToQFont(const Font& font);
// A caption as a screen reader says it: access-key marks gone, one line.
QString AccessibleText(const std::string& caption);

// Puts the widget of `control` in its declared place, except that a label
// one line high, whose text the stand-in font makes wider than the place,
// widens away from its alignment instead of wrapping words out of sight, and
// a check box whose text needs more room grows to the right inside its
// container.
void PlaceWidget(const Control& control, QWidget& widget, const FormScale& scale);

// Creates the widget of `control` under `parent`, with the look it is
// declared with (font, colours readable on the desktop's palette, alignment,
// pointer, focus; a link takes the focus when it has a tab index) and its
// current caption; nullptr for a control without a widget (a timer). The widget's
// object name is the control's name.
QWidget* CreateControlWidget(const Control& control, QWidget* parent, const FormScale& scale);

}  // namespace gimbalo
