// Shared by the Windows backend tests, which run under Wine in Xvfb: the
// platform under test, waiting for a condition while window messages flow,
// and a plain window that notes the messages it is sent.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/win32.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo::testing {

// Generous: a condition that holds comes true in milliseconds.
constexpr std::chrono::seconds kDeadline{10};

// The platform under test; derived so tests reach what the replay reaches.
class TestPlatform : public WindowsPlatform {
public:
    static std::unique_ptr<TestPlatform> Create() {
        std::unique_ptr<TestPlatform> platform(new TestPlatform());
        std::string error;
        if (!platform->Initialise(error)) {
            ADD_FAILURE() << error;
            return nullptr;
        }
        return platform;
    }
    // Runs before each timer tick the platform dispatches.
    std::function<void(Timer&)> onDispatch;

protected:
    TestPlatform() : WindowsPlatform(GetModuleHandleW(nullptr)) {}
    void DispatchTimer(Timer& timer) override {
        if (onDispatch) onDispatch(timer);
        WindowsPlatform::DispatchTimer(timer);
    }
};

// Dispatches this thread's messages until `condition` holds or the deadline
// passes; whether it held.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds deadline = kDeadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// A shown top-level window at a place on the screen that notes every
// message it is sent.
class NotingWindow {
public:
    explicit NotingWindow(RECT place, const wchar_t* title = L"Gimbalo test window") {
        WNDCLASSW type{};
        type.lpfnWndProc = &NotingWindow::Procedure;
        type.hInstance = GetModuleHandleW(nullptr);
        type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        type.lpszClassName = L"GimbaloNotingWindow";
        RegisterClassW(&type);
        window_ = CreateWindowExW(WS_EX_TOPMOST, type.lpszClassName, title, WS_POPUP | WS_VISIBLE,
                                  place.left, place.top, place.right - place.left,
                                  place.bottom - place.top, nullptr, nullptr, type.hInstance, this);
    }
    ~NotingWindow() {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    NotingWindow(const NotingWindow&) = delete;
    NotingWindow& operator=(const NotingWindow&) = delete;

    HWND Handle() const { return window_; }
    // The messages noted, in order, among `kinds`.
    std::vector<UINT> Seen(const std::vector<UINT>& kinds) const {
        std::vector<UINT> seen;
        for (UINT message : messages_)
            for (UINT kind : kinds)
                if (message == kind) seen.push_back(message);
        return seen;
    }
    void Forget() { messages_.clear(); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        if (auto* self = reinterpret_cast<NotingWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            self->messages_.push_back(message);
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    std::vector<UINT> messages_;
};

}  // namespace gimbalo::testing
