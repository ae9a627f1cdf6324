#include "platform/windows/windows_pointer.h"

#include <atomic>

#include "platform/windows/win32.h"

namespace gimbalo {

namespace {

constexpr uint32_t kButtonFlags[] = {MOUSEEVENTF_LEFTDOWN,   MOUSEEVENTF_LEFTUP,
                                     MOUSEEVENTF_RIGHTDOWN,  MOUSEEVENTF_RIGHTUP,
                                     MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP};
// The up event of each down event, in the same order.
constexpr uint32_t kDowns[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_MIDDLEDOWN};

// The down flags of the buttons pressed and not released. Buttons are the
// desktop's, one set for the process, and the crash filter reads them.
std::atomic<uint32_t> heldButtons{0};
std::atomic<int> pointers{0};
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

void Send(uint32_t flag) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
}

void ReleaseHeld() {
    const uint32_t held = heldButtons.exchange(0);
    for (uint32_t down : kDowns)
        if (held & down) Send(down << 1);  // each up flag is its down flag doubled
}

LONG WINAPI ReleaseOnCrash(EXCEPTION_POINTERS* exception) {
    ReleaseHeld();
    return previousFilter != nullptr ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

WindowsPointer::WindowsPointer() {
    if (pointers++ == 0) previousFilter = SetUnhandledExceptionFilter(&ReleaseOnCrash);
}

WindowsPointer::~WindowsPointer() {
    ReleaseHeldButtons();
    if (--pointers == 0) SetUnhandledExceptionFilter(previousFilter);
}

bool WindowsPointer::GetCursorPos(POINT& point) {
    ::POINT native{};
    if (!::GetCursorPos(&native)) return false;
    point.x = native.x;
    point.y = native.y;
    return true;
}

bool WindowsPointer::SetCursorPos(int32_t x, int32_t y) {
    return ::SetCursorPos(x, y) != FALSE;
}

void WindowsPointer::SendButtons(uint32_t flags) {
    for (uint32_t flag : kButtonFlags) {
        if ((flags & flag) == 0) continue;
        Send(flag);
        for (uint32_t down : kDowns) {
            if (flag == down) heldButtons |= down;
            if (flag == down << 1) heldButtons &= ~down;
        }
    }
}

void WindowsPointer::ReleaseHeldButtons() {
    ReleaseHeld();
}

}  // namespace gimbalo
