// What screen readers cannot tell from a window the host draws itself: a
// link is a link to its address, a picture is a graphic, a decorative one is
// left out. Given through the accessibility layer's annotations, which the
// system's own controls do not need (a list takes its name from the label
// made just before it).
#pragma once

#include "platform/windows/win32.h"

namespace gimbalo {

// Annotates `window`, the panel of `control`; nothing for other controls,
// or where the system keeps no annotations.
void AnnotateForScreenReaders(HWND window, const Control& control);
// Drops what AnnotateForScreenReaders gave `window`, before it goes.
void ClearScreenReaderAnnotations(HWND window);

}  // namespace gimbalo
