// The Linux desktop: Qt 6 Widgets for windows, timers, the tray and dialogs,
// SDL2 for joysticks, X11 XTest for the pointer and the mouse buttons.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace gimbalo {

class Timer;

class LinuxPlatform : public Platform {
public:
    // Connects to the X display and starts Qt and SDL. Returns nothing and
    // sets `error` to one line for the user when the desktop cannot be
    // reached (no display, no XTest).
    static std::unique_ptr<LinuxPlatform> Create(int& argc, char** argv, std::string& error);
    ~LinuxPlatform() override;

protected:
    LinuxPlatform();
    // Connects to the display and starts Qt and SDL; Create calls it, and so
    // does a derived platform that builds itself. False with `error` set when
    // the desktop cannot be reached.
    bool Initialise(int& argc, char** argv, std::string& error);
    // Runs one tick of a timer model; the replay program wraps the polling
    // timer's ticks with its script.
    virtual void DispatchTimer(Timer& timer);
};

}  // namespace gimbalo
