// Model changes pushed into a form's windows. Each push runs with pushing_
// raised, so the notifications a window sends about it are not taken for
// what the user did.
#include "platform/windows/win32_form_window.h"

#include <algorithm>

#include "platform/windows/wide_text.h"
#include "platform/windows/win32_controls.h"

namespace gimbalo {

void Win32FormWindow::ControlChanged(Control& control, Property what) {
    if (detached_) return;
    Native* native = NativeOf(control);
    if (native == nullptr) return;
    ++pushing_;
    switch (what) {
        case Property::Caption:
            PushCaption(*native);
            break;
        case Property::Text:
        case Property::ListIndex:
            if (&control != userList_) PushComboSelection(*native);
            break;
        case Property::Items:
            PushComboItems(*native);
            break;
        case Property::Value:
            PushCheckValue(*native);
            break;
        case Property::Enabled:
            PushEnabled(*native);
            break;
        case Property::Visible:
            PushVisible(*native);
            break;
        case Property::Bounds:
            Place(*native);
            break;
        case Property::Picture:
            InvalidateRect(native->window, nullptr, FALSE);
            break;
        case Property::Interval:
        case Property::Icon:
        case Property::Foreground:
            break;
    }
    --pushing_;
}

void Win32FormWindow::ShowCaption() {
    SetWindowTextW(window_, Wide(form_->Caption()).c_str());
}

void Win32FormWindow::PushCaption(Native& native) {
    // A list's text is its own; a picture's window text is its description.
    switch (native.model->Kind()) {
        case ControlKind::ComboBox:
        case ControlKind::Image:
        case ControlKind::PictureBox:
            return;
        default:
            break;
    }
    SetWindowTextW(native.window, ShownText(native.model->Caption()).c_str());
    if (DrawnAsPanel(*native.model)) InvalidateRect(native.window, nullptr, FALSE);
    // A longer text may need a wider place.
    Place(native);
}

void Win32FormWindow::PushComboItems(Native& native) {
    const std::vector<std::string>& items = static_cast<ComboBox&>(*native.model).Items();
    std::vector<std::string>& shown = native.shownItems;
    const bool appended =
        shown.size() <= items.size() && std::equal(shown.begin(), shown.end(), items.begin());
    if (!appended) {
        SendMessageW(native.window, CB_RESETCONTENT, 0, 0);
        shown.clear();
    }
    for (std::size_t i = shown.size(); i < items.size(); ++i) {
        SendMessageW(native.window, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Wide(items[i]).c_str()));
        shown.push_back(items[i]);
    }
    // Emptying the list emptied its text part too.
    if (!appended) PushComboSelection(native);
}

void Win32FormWindow::PushComboSelection(Native& native) {
    const auto& list = static_cast<const ComboBox&>(*native.model);
    HWND window = native.window;
    const std::wstring before = WindowText(window);
    const auto selection = static_cast<DWORD>(SendMessageW(window, CB_GETEDITSEL, 0, 0));
    if (SendMessageW(window, CB_GETCURSEL, 0, 0) != list.ListIndex())
        SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
    const std::wstring wanted = Wide(list.Text());
    if (WindowText(window) != wanted) SetWindowTextW(window, wanted.c_str());
    // Typing goes on where it was when the text is still the typed one.
    if (wanted == before)
        SendMessageW(window, CB_SETEDITSEL, 0, MAKELPARAM(LOWORD(selection), HIWORD(selection)));
}

void Win32FormWindow::PushCheckValue(Native& native) {
    const int value = static_cast<const CheckBox&>(*native.model).Value();
    SendMessageW(native.window, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32FormWindow::PushEnabled(Native& native) {
    const bool enabled = native.model->Enabled();
    if (!enabled) FocusAwayFrom(native);
    EnableWindow(native.window, enabled ? TRUE : FALSE);
    if (DrawnAsPanel(*native.model)) InvalidateRect(native.window, nullptr, FALSE);
}

void Win32FormWindow::PushVisible(Native& native) {
    const bool visible = native.model->Visible();
    if (!visible) FocusAwayFrom(native);
    ShowWindow(native.window, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32FormWindow::FocusAwayFrom(const Native& native) {
    HWND focus = GetFocus();
    if (focus == nullptr || (focus != native.window && !IsChild(native.window, focus))) return;
    // The keyboard goes on with the next control, never into a window that
    // cannot take it.
    HWND next = GetNextDlgTabItem(window_, native.window, FALSE);
    SetFocus(next != nullptr && next != native.window ? next : window_);
}

void Win32FormWindow::ShowVisibility() {
    if (!form_->Visible()) {
        ShowWindow(window_, SW_HIDE);
        return;
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void Win32FormWindow::BringToFront() {
    if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
    ShowWindow(window_, SW_SHOW);
    BringWindowToTop(window_);
    SetForegroundWindow(window_);
}

void Win32FormWindow::ShowIcon() {
    // The sizes the title bar and the task switcher show at this density.
    for (const auto& [which, metric] :
         {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        HICON icon = resources_.icon && form_->Icon() != 0
                         ? resources_.icon(form_->Icon(), SystemMetricFor(metric, scale_.Dpi()))
                         : nullptr;
        SendMessageW(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

}  // namespace gimbalo
