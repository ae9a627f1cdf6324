// The colours of a control's widget: what the form declares, else the
// desktop's, with every text readable on the background it is drawn on and
// focus marks that show on it, whatever palette the desktop has.
#pragma once

#include <QColor>
#include <QPalette>

#include "platform/forms.h"

class QWidget;

namespace gimbalo {

QColor ToQColor(Rgb colour);
Rgb FromQColor(const QColor& colour);

// Gives `widget` the colours of `control` on a desktop whose palette is
// `desktop`. Labels, frames and pictures show the background declared behind
// them, in the declared text colour made readable there or, where the
// desktop's text colour is not readable there, in black or white; a check box
// without a declared fill does the same, its tick box included, so the form
// reads as one surface under any palette; lists and push buttons draw
// themselves in the desktop's colours and only their focus marks, and a
// list's edge, are made to show on the form.
void ApplyColours(const Control& control, QWidget& widget, const QPalette& desktop);

// The form window's own colours: its declared background.
void ApplyFormColours(const FormDesign& design, QWidget& window, const QPalette& desktop);

}  // namespace gimbalo
