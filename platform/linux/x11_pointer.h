// The pointer and the mouse buttons through the backend's own X connection:
// XQueryPointer reads the position, XTest moves the pointer and presses and
// releases the buttons.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

typedef struct _XDisplay Display;

namespace gimbalo {

class CrashButtonRelease;

class X11Pointer {
public:
    // Opens the display named by DISPLAY. False with `error` set to one line
    // when there is no display or it lacks the XTest extension. From then on
    // a crash lets go of the held buttons (crash_button_release.h).
    bool Open(std::string& error);
    X11Pointer();
    // Lets go of every button this connection pressed, then disconnects.
    ~X11Pointer();

    bool GetCursorPos(POINT& point);
    bool SetCursorPos(int32_t x, int32_t y);
    // Moves the pointer from where the server has it, without asking it
    // first; XTest's relative moves are not accelerated.
    bool MoveCursorBy(int32_t dx, int32_t dy);
    // One XTest button event per MOUSEEVENTF_* flag set, in the order Windows
    // sends them: left, right, middle, each down before up.
    void SendButtons(uint32_t flags);
    // Releases the buttons pressed and not yet released.
    void ReleaseHeldButtons();

private:
    void SendButton(unsigned int button, bool down);

    Display* display_ = nullptr;
    unsigned long root_ = 0;
    // Bit n: X button n is down through this connection. Atomic because the
    // crash handler reads it.
    std::atomic<uint32_t> held_{0};
    std::unique_ptr<CrashButtonRelease> crashRelease_;
};

}  // namespace gimbalo
