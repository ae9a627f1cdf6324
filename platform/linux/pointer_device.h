// What moves the pointer and presses the mouse buttons for the Linux
// backend: XTest on an X11 session (x11_pointer.h), a virtual device on
// /dev/uinput on a Wayland one (uinput_pointer.h). desktop_session.h says
// which; the backend holds one and hands it the pointer operations.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace gimbalo {

class PointerDevice {
public:
    virtual ~PointerDevice() = default;

    virtual bool GetCursorPos(POINT& point) = 0;
    // Puts the pointer at (x, y); the desktop keeps it on the screen.
    virtual bool SetCursorPos(int32_t x, int32_t y) = 0;
    // Moves the pointer by (dx, dy) from where it is.
    virtual bool MoveCursorBy(int32_t dx, int32_t dy) = 0;
    // One button event per MOUSEEVENTF_* flag set, in the order Windows sends
    // them: left, right, middle, each down before up.
    virtual void SendButtons(uint32_t flags) = 0;
    // Releases the buttons pressed and not yet released.
    virtual void ReleaseHeldButtons() = 0;
    // POINTER_READY, or why the pointer cannot be moved (platform.h).
    virtual uint32_t State() const { return POINTER_READY; }
};

}  // namespace gimbalo
