#include "platform/windows/win32_controls.h"

#include <algorithm>
#include <limits>
#include <set>

#include "platform/windows/wide_text.h"

namespace gimbalo {

namespace {

// Lines a dropped-down list shows before it scrolls.
constexpr int kDroppedLines = 8;
// Room between a check box's box and its text, and for the focus mark, at
// 96 DPI.
constexpr int kCheckTextGap = 6;

// The extent of the window's text in its own font: on one line, or broken
// into lines `width` wide when `width` is above 0.
SIZE TextExtent(HWND window, int& lineHeight, int width = 0) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    lineHeight = metrics.tmHeight;
    const std::wstring text = WindowText(window);
    RECT measured{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
              DT_CALCRECT | DT_NOPREFIX | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return SIZE{measured.right - measured.left, measured.bottom - measured.top};
}

// Whether `place` (in the container's pixels) is clear of every other
// control in `control`'s container.
bool ClearOfOthers(const Control& control, const RECT& place, const DeviceScale& scale) {
    for (const Control* other : control.Owner().Controls()) {
        if (other == &control || other->Container() != control.Container() ||
            other->Kind() == ControlKind::Timer || !other->Visible())
            continue;
        const RECT theirs = scale.ToPixels(other->GetBounds());
        RECT common{};
        if (IntersectRect(&common, &place, &theirs)) return false;
    }
    return true;
}

void WidenLabel(const Control& label, HWND window, RECT& place) {
    int lineHeight = 0;
    const SIZE text = TextExtent(window, lineHeight);
    const bool oneLine = place.bottom - place.top < 2 * lineHeight &&
                         label.Caption().find_first_of("\r\n") == std::string::npos;
    const int extra = text.cx + 1 - (place.right - place.left);
    if (!oneLine || extra <= 0) return;
    switch (label.Layout().alignment) {
        case Alignment::Left:
            place.right += extra;
            break;
        case Alignment::Right:
            place.left -= extra;
            break;
        case Alignment::Center:
            place.left -= extra / 2;
            place.right += extra - extra / 2;
            break;
    }
}

// A check box whose text needs it grows to the right up to `roomRight`;
// when that is still too narrow, it grows downwards into free space and its
// text takes a second line.
void FitCheckBox(const Control& box, HWND window, const DeviceScale& scale, int roomRight,
                 RECT& place) {
    int lineHeight = 0;
    const int mark = SystemMetricFor(SM_CXMENUCHECK, scale.Dpi()) + scale.Scaled(kCheckTextGap);
    const int needed = mark + TextExtent(window, lineHeight).cx;
    if (needed <= place.right - place.left) return;
    place.right = std::max<LONG>(place.right, std::min<LONG>(place.left + needed, roomRight));
    if (needed <= place.right - place.left) return;
    const int height = TextExtent(window, lineHeight, place.right - place.left - mark).cy +
                       scale.Scaled(kCheckTextGap);
    RECT grown = place;
    grown.bottom = std::max<LONG>(place.bottom, place.top + height);
    RECT below = grown;
    below.top = place.bottom;
    if (below.bottom > below.top && ClearOfOthers(box, below, scale)) place = grown;
}

}  // namespace

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ShownText(std::string_view caption) {
    const std::wstring text = Wide(caption);
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            out += L"\r\n";
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<Control*> CreationOrder(const Form& form) {
    std::vector<Control*> order;
    std::set<const Control*> placed;
    auto add = [&](auto& self, Control* control) -> void {
        if (control == nullptr || placed.count(control) > 0) return;
        placed.insert(control);
        self(self, control->Container());
        Control* caption = control->CaptionLabel();
        if (caption != nullptr && caption->Container() == control->Container()) self(self, caption);
        order.push_back(control);
    };
    std::vector<Control*> focusable;
    for (Control* control : form.Controls())
        if (control->TabIndex() >= 0) focusable.push_back(control);
    std::stable_sort(focusable.begin(), focusable.end(), [](const Control* a, const Control* b) {
        return a->TabIndex() < b->TabIndex();
    });
    for (Control* control : focusable) add(add, control);
    for (Control* control : form.Controls()) add(add, control);
    return order;
}

bool DrawnAsPanel(const Control& control) {
    if (control.IsLink()) return true;
    switch (control.Kind()) {
        case ControlKind::Image:
        case ControlKind::PictureBox:
        case ControlKind::Frame:
            return true;
        default:
            return false;
    }
}

HWND CreateNativeControl(const Control& control, HWND parent, int id, void* panelData) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP;
    DWORD exStyle = 0;
    if (control.Visible()) style |= WS_VISIBLE;
    if (!control.Enabled()) style |= WS_DISABLED;
    if (control.TabIndex() >= 0) style |= WS_TABSTOP;
    const wchar_t* windowClass = nullptr;
    std::wstring text = ShownText(control.Caption());
    switch (control.Kind()) {
        case ControlKind::Label:
            if (control.IsLink()) {
                // It takes the focus, which a system label cannot.
                windowClass = kPanelClass;
                break;
            }
            windowClass = L"STATIC";
            // Captions are shown as written: an ampersand is no access key.
            style |=
                AlignmentFlag<DWORD>(control.Layout().alignment, SS_LEFT, SS_RIGHT, SS_CENTER) |
                SS_NOTIFY | SS_NOPREFIX;
            break;
        case ControlKind::ComboBox:
            windowClass = L"COMBOBOX";
            text.clear();  // the text part is the model's to fill
            style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
            break;
        case ControlKind::CheckBox:
            // The model decides the state: the box does not tick itself. A
            // text too long for one line may take two.
            windowClass = L"BUTTON";
            style |= BS_CHECKBOX | BS_MULTILINE;
            break;
        case ControlKind::CommandButton:
            windowClass = L"BUTTON";
            style |= BS_PUSHBUTTON;
            break;
        case ControlKind::Image:
        case ControlKind::PictureBox:
        case ControlKind::Frame:
            windowClass = kPanelClass;
            // Containers clip what they hold, and Tab walks into them.
            style |= WS_CLIPCHILDREN;
            exStyle |= WS_EX_CONTROLPARENT;
            if (control.Kind() != ControlKind::Frame)
                text = control.Layout().decorative ? std::wstring()
                                                   : Wide(control.Layout().description);
            break;
        case ControlKind::Timer:
            return nullptr;
    }
    return CreateWindowExW(exStyle, windowClass, text.c_str(), style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), DrawnAsPanel(control) ? panelData : nullptr);
}

void PlaceNativeControl(const Control& control, HWND window, const DeviceScale& scale,
                        int roomRight) {
    RECT place = scale.ToPixels(control.GetBounds());
    const int height = place.bottom - place.top;
    int windowHeight = height;
    if (control.Kind() == ControlKind::Label) WidenLabel(control, window, place);
    if (control.Kind() == ControlKind::CheckBox)
        FitCheckBox(control, window, scale, roomRight, place);
    if (control.Kind() == ControlKind::ComboBox) {
        // A list is as high as its font makes it, as on the desktop the
        // forms were made for; its window height is its height when dropped
        // down.
        const int line = static_cast<int>(SendMessageW(window, CB_GETITEMHEIGHT, 0, 0));
        windowHeight = height + kDroppedLines * std::max(line, 1) + scale.Scaled(2);
    }
    if (control.Kind() != ControlKind::ComboBox) windowHeight = place.bottom - place.top;
    SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left, windowHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace gimbalo
