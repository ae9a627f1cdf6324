// The pointer and the mouse buttons through the backend's own X connection:
// XQueryPointer reads the position, XTest moves the pointer and presses and
// releases the buttons.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/linux/held_buttons.h"
#include "platform/linux/pointer_device.h"
#include "platform/linux/xtest_request.h"
#include "platform/platform.h"

typedef struct _XDisplay Display;

namespace gimbalo {

class ButtonGuardian;
class FatalSignals;
class XRequestWriter;

class X11Pointer : public PointerDevice {
public:
    // Opens the display named by DISPLAY. False with `error` set to one line
    // when there is no display or it lacks the XTest extension. From then on
    // no death of the program leaves a button held: a signal lets go of them
    // (fatal_signals.h), and the guardian process does after any other death
    // (button_guardian.h).
    bool Open(std::string& error);
    X11Pointer();
    // Lets go of every button this connection pressed, then disconnects.
    ~X11Pointer() override;

    bool GetCursorPos(POINT& point) override;
    // Puts the pointer at (x, y) on the default screen; the server keeps it
    // on the screen.
    bool SetCursorPos(int32_t x, int32_t y) override;
    // Moves the pointer from where the server has it, without asking it
    // first; XTest's relative moves are not accelerated. One system call:
    // the request goes straight onto the connection's socket.
    bool MoveCursorBy(int32_t dx, int32_t dy) override;
    // One XTest button event per MOUSEEVENTF_* flag set, in the order Windows
    // sends them: left, right, middle, each down before up.
    void SendButtons(uint32_t flags) override;
    // Releases the buttons pressed and not yet released.
    void ReleaseHeldButtons() override;

    // The program's end of the guardian's channel; -1 when none runs.
    int GuardianChannel() const { return buttons_.guardian.load(); }
    // Once the guardian has ended: starts another and tells it which
    // buttons are held. Whether one runs now.
    bool RestartGuardian();

private:
    // Writes an XTest request straight onto the connection (x_request_writer.h).
    void Send(const unsigned char (&request)[kFakeInputSize]);
    // Sets the held buttons and tells the guardian when they changed.
    void SetHeld(uint32_t held);

    Display* display_ = nullptr;
    unsigned long root_ = 0;
    // An unmapped window whose destruction shows the guardian that this
    // connection is gone.
    unsigned long marker_ = 0;
    HeldButtons buttons_;
    // Closing the display gives its socket back: it goes after the display.
    std::unique_ptr<XRequestWriter> writer_;
    std::unique_ptr<ButtonGuardian> guardian_;
    std::unique_ptr<FatalSignals> fatalSignals_;
};

}  // namespace gimbalo
