// The form window's life: classes, creation, message routing, the place of
// every window at the monitor's density, and destruction.
#include "platform/windows/win32_form_window.h"

#include <commctrl.h>
#include <algorithm>
#include <utility>

#include "platform/common/picture_files.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win32_accessibility.h"
#include "platform/windows/win32_controls.h"

namespace gimbalo {

namespace {

constexpr const wchar_t* kFormClass = L"GimbaloForm";
// The pointing hand's size at 96 DPI; it grows with the density, as the
// system's pointers do.
constexpr int kHandSize = 32;
// Provisional size of a window before its density is known.
constexpr int kProvisionalSize = 100;

DWORD StyleFor(FormBorder border) {
    switch (border) {
        case FormBorder::None:
            return WS_POPUP | WS_CLIPCHILDREN;
        case FormBorder::Sizable:
            return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        case FormBorder::FixedDialog:
            break;
    }
    // A fixed frame with the close button only.
    return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
}

// The work area of the monitor the pointer is on.
RECT WorkAreaUnderPointer() {
    ::POINT pointer{};
    GetCursorPos(&pointer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

}  // namespace

Win32FormWindow* Win32FormWindow::Create(Form& form, WindowResources resources) {
    for (const wchar_t* name : {kFormClass, kPanelClass}) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = FormProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = name;
        RegisterClassExW(&windowClass);  // fails harmlessly when registered already
    }
    auto* window = new Win32FormWindow(form, std::move(resources));
    if (window->Build()) return window;
    delete window;
    return nullptr;
}

Win32FormWindow::Win32FormWindow(Form& form, WindowResources resources)
    : form_(&form), resources_(std::move(resources)), scale_(form.Layout().unit, kReferenceDpi) {}

Win32FormWindow::~Win32FormWindow() {
    // Nothing reaches this object any more while its windows go.
    for (Native& native : natives_) {
        if (DrawnAsPanel(*native.model)) {
            SetWindowLongPtrW(native.window, GWLP_USERDATA, 0);
            ClearScreenReaderAnnotations(native.window);
        } else {
            RemoveWindowSubclass(native.window, SubclassProc, 0);
            if (native.edit != nullptr) RemoveWindowSubclass(native.edit, SubclassProc, 0);
        }
    }
    if (window_ != nullptr) SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    if (hand_ != nullptr) DestroyCursor(hand_);
    // The owner takes the window it owns with it.
    if (owner_ != nullptr)
        DestroyWindow(owner_);
    else if (window_ != nullptr)
        DestroyWindow(window_);
}

bool Win32FormWindow::Build() {
    const FormDesign& design = form_->Layout();
    const DWORD style = StyleFor(design.border);
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (design.showInTaskbar) {
        exStyle |= WS_EX_APPWINDOW;
    } else {
        owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    }
    const bool centre = design.startPosition == StartPosition::CenterScreen;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    if (centre) {
        // On the monitor it will be centred on, so it gets that one's density.
        const RECT work = WorkAreaUnderPointer();
        x = (work.left + work.right - kProvisionalSize) / 2;
        y = (work.top + work.bottom - kProvisionalSize) / 2;
    }
    window_ = CreateWindowExW(exStyle, kFormClass, Wide(form_->Caption()).c_str(), style, x, y,
                              kProvisionalSize, kProvisionalSize, owner_, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) return false;
    scale_ = DeviceScale(design.unit, WindowDpi(window_));
    fonts_ = std::make_unique<FontCache>(scale_.Dpi());
    BuildControls();
    PlaceWindow(centre);
    ShowIcon();
    MakeHand();
    return true;
}

void Win32FormWindow::MakeHand() {
    if (hand_ != nullptr) DestroyCursor(hand_);
    hand_ = nullptr;
    const int size = scale_.Scaled(kHandSize);
    HICON picture = resources_.hand ? resources_.hand(size) : nullptr;
    ICONINFO parts{};
    if (picture == nullptr || !GetIconInfo(picture, &parts)) return;
    parts.fIcon = FALSE;
    parts.xHotspot = static_cast<DWORD>(MulDiv(kHandHotSpotX, size, kHandSize));
    parts.yHotspot = static_cast<DWORD>(MulDiv(kHandHotSpotY, size, kHandSize));
    hand_ = CreateIconIndirect(&parts);
    if (parts.hbmColor != nullptr) DeleteObject(parts.hbmColor);
    if (parts.hbmMask != nullptr) DeleteObject(parts.hbmMask);
}

void Win32FormWindow::BuildControls() {
    const std::vector<Control*>& declared = form_->Controls();
    // Places in the vector are kept for the window's life.
    natives_.reserve(declared.size());
    for (Control* control : CreationOrder(*form_)) {
        HWND parent = window_;
        if (Control* holder = control->Container())
            if (Native* container = NativeOf(*holder)) parent = container->window;
        const auto index = std::find(declared.begin(), declared.end(), control) - declared.begin();
        const int id = kFirstControlId + static_cast<int>(index);
        HWND window = CreateNativeControl(*control, parent, id, this);
        if (window == nullptr) continue;
        // Made in order, each below the last: the tab order.
        SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        natives_.push_back(Native{control, window, nullptr, id, {}});
        byWindow_[window] = natives_.size() - 1;
        Native& native = natives_.back();
        if (DrawnAsPanel(*control)) {
            AnnotateForScreenReaders(window, *control);
        } else {
            SetWindowSubclass(window, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
            COMBOBOXINFO parts{};
            parts.cbSize = sizeof parts;
            if (control->Kind() == ControlKind::ComboBox && GetComboBoxInfo(window, &parts) &&
                parts.hwndItem != nullptr) {
                native.edit = parts.hwndItem;
                SetWindowSubclass(native.edit, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
            }
        }
        SendMessageW(window, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts_->Get(control->EffectiveFont())), FALSE);
        ++pushing_;
        if (control->Kind() == ControlKind::ComboBox) {
            PushComboItems(native);
            PushComboSelection(native);
        } else if (control->Kind() == ControlKind::CheckBox) {
            PushCheckValue(native);
        }
        --pushing_;
        Place(native);
    }
}

void Win32FormWindow::Place(const Native& native) {
    const Control* holder = native.model->Container();
    const int room = scale_.ToPixels(holder != nullptr ? holder->GetBounds().width
                                                       : form_->Layout().clientWidth);
    PlaceNativeControl(*native.model, native.window, scale_, room);
}

void Win32FormWindow::PlaceWindow(bool centre) {
    const FormDesign& design = form_->Layout();
    const int clientWidth = scale_.ToPixels(design.clientWidth);
    const int clientHeight = scale_.ToPixels(design.clientHeight);
    const RECT frame = WindowRectFor(
        clientWidth, clientHeight, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)),
        static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)), scale_.Dpi());
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the frame drawn differs from the one computed (a system that
    // scales the frame at another moment), the client area still gets its
    // size.
    RECT client{};
    GetClientRect(window_, &client);
    if (client.right != clientWidth || client.bottom != clientHeight) {
        width += clientWidth - client.right;
        height += clientHeight - client.bottom;
        SetWindowPos(window_, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!centre) return;
    const RECT work = WorkAreaUnderPointer();
    // The title bar stays on the screen when the window is taller than it.
    const LONG x = std::max(work.left, (work.left + work.right - width) / 2);
    const LONG y = std::max(work.top, (work.top + work.bottom - height) / 2);
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormWindow::Rescale(int dpi, const RECT& suggested) {
    scale_ = DeviceScale(form_->Layout().unit, dpi);
    // The old fonts go once every window has let go of them.
    std::unique_ptr<FontCache> old = std::exchange(fonts_, std::make_unique<FontCache>(dpi));
    for (Native& native : natives_)
        SendMessageW(native.window, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts_->Get(native.model->EffectiveFont())), FALSE);
    for (Native& native : natives_) Place(native);
    PlaceWindow(false);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowIcon();
    MakeHand();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32FormWindow::Detach() {
    if (detached_) return;
    detached_ = true;
    form_ = nullptr;
    if (depth_ == 0) {
        delete this;
        return;
    }
    // Gone from the screen at once; destroyed once its own message is done.
    if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
    destroyPending_ = true;
}

template <typename Handler>
LRESULT Win32FormWindow::Dispatch(Handler&& handler) {
    ++depth_;
    const LRESULT result = handler();
    --depth_;
    if (depth_ == 0 && destroyPending_) {
        destroyPending_ = false;
        delete this;
    }
    return result;
}

LRESULT CALLBACK Win32FormWindow::FormProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Win32FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self != nullptr && self->window_ == nullptr) self->window_ = window;
    }
    auto* self = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, w, l);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (window == self->window_) self->window_ = nullptr;
        return DefWindowProcW(window, message, w, l);
    }
    return self->Dispatch([&] { return self->Message(window, message, w, l); });
}

LRESULT CALLBACK Win32FormWindow::SubclassProc(HWND window, UINT message, WPARAM w, LPARAM l,
                                               UINT_PTR, DWORD_PTR data) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassProc, 0);
        return DefSubclassProc(window, message, w, l);
    }
    auto* self = reinterpret_cast<Win32FormWindow*>(data);
    Native* native = self->NativeContaining(window);
    if (native == nullptr) return DefSubclassProc(window, message, w, l);
    return self->Dispatch([&] { return self->ControlMessage(window, message, w, l, *native); });
}

HWND Win32FormWindow::WindowOf(const Control& control) const {
    for (const Native& native : natives_)
        if (native.model == &control) return native.window;
    return nullptr;
}

Win32FormWindow::Native* Win32FormWindow::NativeOf(const Control& control) {
    for (Native& native : natives_)
        if (native.model == &control) return &native;
    return nullptr;
}

Win32FormWindow::Native* Win32FormWindow::NativeById(int id) {
    for (Native& native : natives_)
        if (native.id == id) return &native;
    return nullptr;
}

Win32FormWindow::Native* Win32FormWindow::NativeContaining(HWND window) {
    for (; window != nullptr && window != window_; window = GetParent(window)) {
        const auto found = byWindow_.find(window);
        if (found != byWindow_.end()) return &natives_[found->second];
    }
    return nullptr;
}

}  // namespace gimbalo
