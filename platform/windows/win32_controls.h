// The native window of each declared control: which class and styles, in
// which order they are made, and where they go at a density.
#pragma once

#include "platform/windows/win32.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/forms.h"
#include "platform/windows/win32_dpi.h"

namespace gimbalo {

// The flag of a declared alignment among three of a Win32 family (SS_*,
// DT_*): left unless declared otherwise.
template <typename Flag>
Flag AlignmentFlag(Alignment alignment, Flag left, Flag right, Flag centre) {
    return alignment == Alignment::Right ? right : alignment == Alignment::Center ? centre : left;
}

// Class of the windows the host draws itself: pictures, picture boxes,
// frames and links.
constexpr const wchar_t* kPanelClass = L"GimbaloPanel";

// The text a window holds.
std::wstring WindowText(HWND window);

// A caption as a window shows it: a lone CR or LF becomes CR LF.
std::wstring ShownText(std::string_view caption);

// The controls in the order their windows are made. Windows walks the tab
// order and takes a list's accessible name from the label made just before
// it: focusable controls come by tab index, each control right after the
// label declared as its caption, and a container just before the first
// control it holds.
std::vector<Control*> CreationOrder(const Form& form);

// Whether the host draws the control in a panel window of its own (pictures,
// frames, links).
bool DrawnAsPanel(const Control& control);

// Creates the window of `control` under `parent`, hidden or shown and
// enabled or not as the model says, with its caption (a picture: its
// description, which screen readers read as its name). A panel gets
// `panelData` as its creation parameter. nullptr for a control without a
// window (a timer).
HWND CreateNativeControl(const Control& control, HWND parent, int id, void* panelData);

// Puts the window in its declared place at `scale`. A label one line high
// whose text is wider than its place widens away from its alignment, and a
// check box whose text needs it grows to the right up to `roomRight`
// (pixels from the container's left edge), then downwards where nothing
// lies below it: its text is not cut off.
void PlaceNativeControl(const Control& control, HWND window, const DeviceScale& scale,
                        int roomRight);

}  // namespace gimbalo
