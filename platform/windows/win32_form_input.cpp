// What the user does in a form window, turned into the models' User* calls;
// and the messages through which the window asks for colours, pointers and
// its default button.
#include "platform/windows/win32_form_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "platform/windows/wide_text.h"
#include "platform/windows/win32_controls.h"

namespace gimbalo {

LRESULT Win32FormWindow::Message(HWND window, UINT message, WPARAM w, LPARAM l) {
    const bool isForm = window == window_;
    switch (message) {
        case WM_ERASEBKGND:
            if (isForm && form_ != nullptr) {
                RECT client{};
                GetClientRect(window, &client);
                FillRect(reinterpret_cast<HDC>(w), &client,
                         brushes_.Get(form_->Layout().backColor));
            }
            return 1;  // a panel paints its whole background when it paints
        case WM_PAINT:
            if (isForm) break;
            if (Native* native = NativeContaining(window)) {
                PaintPanel(window, *native);
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (LRESULT brush = ColourMessage(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l)))
                return brush;
            break;
        case WM_COMMAND:
            Command(LOWORD(w), HIWORD(w));
            return 0;
        case WM_GETFONT:
            if (isForm) break;
            if (const Native* native = NativeContaining(window))
                return reinterpret_cast<LRESULT>(fonts_->Get(native->model->EffectiveFont()));
            break;
        case WM_SETFONT:
            if (!isForm) return 0;  // a panel draws in its model's font
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (isForm) break;
            if (Native* native = NativeContaining(window)) {
                NoteState(window, message, w, native);
                InvalidateRect(window, nullptr, FALSE);  // the focus mark
            }
            return 0;
        case WM_GETDLGCODE:
            if (!isForm && TabLeavesControls(window)) return DLGC_WANTTAB;
            break;
        case WM_KEYDOWN:
            if (!isForm && w == VK_TAB && TabLeavesControls(window)) {
                SetFocus(window_);
                return 0;
            }
            // Space on a link clicks it; Enter comes as its default button.
            if (!isForm && w == VK_SPACE && (l & (1 << 30)) == 0)
                if (Native* native = NativeContaining(window); native && native->model->IsLink())
                    Click(*native->model);
            break;
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
            NoteState(window, message, w, nullptr);
            if (message == WM_MOUSELEAVE) return 0;
            break;
        case WM_SETCURSOR:
            if (SetPointer(reinterpret_cast<HWND>(w), LOWORD(l))) return TRUE;
            break;
        case WM_LBUTTONDOWN:
            Pressed(window);
            return 0;
        case WM_LBUTTONDBLCLK:
            // The second press of a double click arms nothing: one click.
            return 0;
        case WM_LBUTTONUP: {
            Native* panel = isForm ? nullptr : NativeContaining(window);
            Released(window, l, panel != nullptr ? panel->model : nullptr);
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (pressed_ == window) pressed_ = nullptr;
            return 0;
        case WM_CLOSE:
            // The program decides whether the window goes: it unloads the
            // form or keeps it, and the window follows.
            if (Live()) form_->UserClose();
            return 0;
        case WM_ACTIVATE:
            if (!isForm) break;
            if (LOWORD(w) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
            } else {
                FocusOnActivation();
            }
            return 0;
        case WM_DPICHANGED:
            if (!isForm || form_ == nullptr) break;
            Rescale(LOWORD(w), *reinterpret_cast<const RECT*>(l));
            return 0;
        case DM_GETDEFID:
            return DefaultButton();
        case kResyncList:
            if (form_ != nullptr)
                if (Native* native = NativeById(static_cast<int>(w))) {
                    ++pushing_;
                    PushComboSelection(*native);
                    --pushing_;
                }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

LRESULT Win32FormWindow::ControlMessage(HWND window, UINT message, WPARAM w, LPARAM l,
                                        Native& native) {
    if (native.model->Kind() == ControlKind::Label) {
        // A label answers the click of its own: pressed and released on it.
        switch (message) {
            case WM_LBUTTONDOWN:
                Pressed(window);
                return 0;
            case WM_LBUTTONDBLCLK:
                return 0;
            case WM_LBUTTONUP:
                Released(window, l, native.model);
                return 0;
            case WM_CAPTURECHANGED:
                if (pressed_ == window) pressed_ = nullptr;
                break;
            default:
                break;
        }
    }
    if (message == WM_GETDLGCODE && TabLeavesControls(window))
        return DefSubclassProc(window, message, w, l) | DLGC_WANTTAB;
    if (message == WM_KEYDOWN && w == VK_TAB && TabLeavesControls(window)) {
        SetFocus(window_);
        return 0;
    }
    NoteState(window, message, w, &native);
    return DefSubclassProc(window, message, w, l);
}

bool Win32FormWindow::TabLeavesControls(HWND control) const {
    // In a form that takes the focus itself, Tab from its last control
    // (Shift+Tab from its first) goes back to the form, where the dialog
    // manager would wrap round to the controls again; so a reader of the
    // about box can leave its link, and its credits go on.
    if (form_ == nullptr || !form_->Layout().takesFocus) return false;
    const bool backwards = GetKeyState(VK_SHIFT) < 0;
    HWND next = GetNextDlgTabItem(window_, control, backwards);
    return next == control || next == GetNextDlgTabItem(window_, nullptr, backwards);
}

bool Win32FormWindow::Live() const {
    return form_ != nullptr && !(resources_.programEnded && resources_.programEnded());
}

void Win32FormWindow::Click(Control& control) {
    if (Live()) control.UserClick();
}

void Win32FormWindow::NoteState(HWND window, UINT message, WPARAM w, Native* native) {
    if (detached_) return;
    switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            // Focus moving within a control (a list and its text part) is no
            // change.
            HWND other = reinterpret_cast<HWND>(w);
            if (native == nullptr || (other != nullptr && NativeContaining(other) == native))
                return;
            native->model->UserFocus(message == WM_SETFOCUS);
            return;
        }
        case WM_MOUSEMOVE: {
            // Its leaving will be reported too.
            TRACKMOUSEEVENT leave{};
            leave.cbSize = sizeof leave;
            leave.dwFlags = TME_LEAVE;
            leave.hwndTrack = window;
            TrackMouseEvent(&leave);
            NotePointer();
            return;
        }
        case WM_MOUSELEAVE:
            NotePointer();
            return;
        default:
            return;
    }
}

void Win32FormWindow::NotePointer() {
    ::POINT pointer{};
    GetCursorPos(&pointer);
    // The window the pointer is over, where it shows: a panel's part that
    // its container clips away is not under the pointer.
    HWND under = WindowFromPoint(pointer);
    for (Native& native : natives_) {
        const bool over =
            under != nullptr && (under == native.window || IsChild(native.window, under));
        if (native.model->PointerOver() != over) native.model->UserPointerOver(over);
    }
}

void Win32FormWindow::Command(int id, int code) {
    if (!Live() || pushing_ > 0) return;
    if (id == IDCANCEL) {
        // Escape, from the dialog keys.
        form_->UserEscape();
        return;
    }
    Native* native = NativeById(id);
    if (native == nullptr) return;
    Control& control = *native->model;
    switch (control.Kind()) {
        case ControlKind::ComboBox: {
            auto& list = static_cast<ComboBox&>(control);
            userList_ = &list;
            if (code == CBN_SELCHANGE) {
                const auto index =
                    static_cast<int>(SendMessageW(native->window, CB_GETCURSEL, 0, 0));
                if (index >= 0) list.UserPick(index);
            } else if (code == CBN_EDITCHANGE) {
                list.UserType(Utf8(WindowText(native->window)));
            }
            userList_ = nullptr;
            // The list shows what the model holds once it has done with its
            // own notification (it fills its text part only afterwards).
            if (form_ != nullptr && (code == CBN_SELCHANGE || code == CBN_EDITCHANGE ||
                                     code == CBN_CLOSEUP || code == CBN_SELENDCANCEL))
                PostMessageW(window_, kResyncList, static_cast<WPARAM>(id), 0);
            break;
        }
        case ControlKind::CheckBox:
            if (code == BN_CLICKED) static_cast<CheckBox&>(control).UserToggle();
            break;
        case ControlKind::CommandButton:
        case ControlKind::Label:  // a link, pressed by Enter
            if (code == BN_CLICKED) control.UserClick();
            break;
        default:
            break;
    }
}

void Win32FormWindow::Pressed(HWND window) {
    pressed_ = window;
    SetCapture(window);
}

void Win32FormWindow::Released(HWND window, LPARAM at, Control* model) {
    const bool armed = pressed_ == window;
    pressed_ = nullptr;
    if (GetCapture() == window) ReleaseCapture();
    RECT client{};
    GetClientRect(window, &client);
    const ::POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (!armed || !PtInRect(&client, point) || !Live()) return;
    if (model != nullptr)
        model->UserClick();
    else
        form_->UserClick();
}

bool Win32FormWindow::SetPointer(HWND under, int hitTest) {
    if (hitTest != HTCLIENT) return false;
    const Native* native = NativeContaining(under);
    if (native == nullptr || native->model->Pointer() != PointerShape::Hand) return false;
    SetCursor(hand_ != nullptr ? hand_ : LoadCursorW(nullptr, IDC_HAND));
    return true;
}

LRESULT Win32FormWindow::ColourMessage(HDC dc, HWND control) {
    const Native* native = NativeContaining(control);
    if (native == nullptr) return 0;
    const std::optional<ControlColours> colours = ColoursOf(*native->model);
    if (!colours) {
        // A push button keeps the desktop's look; its corners show what is
        // around it.
        if (native->model->Kind() != ControlKind::CommandButton) return 0;
        return reinterpret_cast<LRESULT>(brushes_.Get(ColourAround(*native->model)));
    }
    SetTextColor(dc, ToColorRef(colours->text));
    SetBkColor(dc, ToColorRef(colours->back));
    SetBkMode(dc, colours->transparent ? TRANSPARENT : OPAQUE);
    return reinterpret_cast<LRESULT>(brushes_.Get(colours->back));
}

void Win32FormWindow::FocusOnActivation() {
    if (form_ == nullptr) return;
    HWND target = nullptr;
    if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(window_, lastFocus_) &&
        IsWindowEnabled(lastFocus_) && IsWindowVisible(lastFocus_))
        target = lastFocus_;
    // A form that is read rather than edited takes the focus itself; Tab
    // leads on to its first control.
    if (target == nullptr && !form_->Layout().takesFocus)
        target = GetNextDlgTabItem(window_, nullptr, FALSE);
    SetFocus(target != nullptr ? target : window_);
}

LRESULT Win32FormWindow::DefaultButton() {
    // No button is the default; Enter presses the button or the link that
    // has the focus.
    HWND focus = GetFocus();
    const Native* native = focus != nullptr ? NativeContaining(focus) : nullptr;
    if (native == nullptr ||
        (native->model->Kind() != ControlKind::CommandButton && !native->model->IsLink()))
        return 0;
    return MAKELRESULT(native->id, DC_HASDEFID);
}

}  // namespace gimbalo
