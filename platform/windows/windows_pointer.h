// The pointer and the mouse buttons: GetCursorPos and SetCursorPos, and
// SendInput for the buttons. Windows keeps an injected button down after the
// program that pressed it has gone, so the pointer remembers what it holds
// and lets go of it when it goes, and when the program crashes.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace gimbalo {

class WindowsPointer {
public:
    // From now on a crash lets go of the held buttons.
    WindowsPointer();
    // Lets go of every button this pointer pressed.
    ~WindowsPointer();
    WindowsPointer(const WindowsPointer&) = delete;
    WindowsPointer& operator=(const WindowsPointer&) = delete;

    bool GetCursorPos(POINT& point);
    bool SetCursorPos(int32_t x, int32_t y);
    // One input event per MOUSEEVENTF_* flag set, in the order Windows sends
    // them: left, right, middle, each down before up. Other flags are
    // ignored.
    void SendButtons(uint32_t flags);
    // Releases the buttons pressed and not yet released.
    void ReleaseHeldButtons();
};

}  // namespace gimbalo
