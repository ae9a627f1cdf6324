#include "platform/windows/message_window.h"

namespace gimbalo {

namespace {
constexpr wchar_t kClassName[] = L"GimbaloMessageWindow";
}  // namespace

MessageWindow::MessageWindow(HINSTANCE instance, Kind kind) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = &MessageWindow::Procedure;
    type.hInstance = instance;
    type.lpszClassName = kClassName;
    // A second window of the class in the process finds it registered.
    RegisterClassExW(&type);
    // The hidden window is a top-level one: only top-level windows hear the
    // shell's broadcasts, and the popup menu needs a window that can come to
    // the foreground.
    const bool topLevel = kind == Kind::TopLevel;
    window_ = CreateWindowExW(topLevel ? WS_EX_TOOLWINDOW : 0, kClassName, L"Gimbalo",
                              topLevel ? WS_POPUP : 0, 0, 0, 0, 0,
                              topLevel ? nullptr : HWND_MESSAGE, nullptr, instance, this);
}

MessageWindow::~MessageWindow() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void MessageWindow::On(UINT message, Handler handler) {
    handlers_[message] = std::move(handler);
}

void MessageWindow::Off(UINT message) {
    handlers_.erase(message);
}

LRESULT CALLBACK MessageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<MessageWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && self->window_ == window) return self->Handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MessageWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = handlers_.find(message);
    if (found == handlers_.end() || !found->second)
        return DefWindowProcW(window_, message, wParam, lParam);
    // A copy: the handler may replace itself.
    const Handler handler = found->second;
    return handler(wParam, lParam);
}

}  // namespace gimbalo
