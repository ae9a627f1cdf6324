// Which way into the desktop the backend takes. On a Wayland session XTest
// would move only XWayland's own pointer, which the user never sees (DISPLAY
// is set there too), so the pointer goes through a virtual device on
// /dev/uinput and the windows are Wayland's own; on an X11 session XTest
// moves it and the windows are X11's. An option and an environment variable
// override the choice.
#pragma once

#include <cstdint>
#include <string>

namespace gimbalo {

enum class PointerWay { XTest, Uinput };

// The environment variable that overrides the session's choice.
constexpr const char* kPointerVariable = "GIMBALO_POINTER";

// What the choice reads.
struct SessionFacts {
    std::string option;          // the value of --pointer=, empty when not given
    std::string variable;        // GIMBALO_POINTER
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string sessionType;     // XDG_SESSION_TYPE
    std::string runtimeDir;      // XDG_RUNTIME_DIR, where Wayland's sockets are
};

// The facts of this process: `option` and its environment.
SessionFacts CurrentSession(const std::string& option);

// A session is Wayland's when WAYLAND_DISPLAY names a display or
// XDG_SESSION_TYPE says "wayland".
bool IsWaylandSession(const SessionFacts& facts);

struct PointerChoice {
    PointerWay way = PointerWay::XTest;
    // One line for the user when the option or the variable names no way
    // ("uinput" or "xtest"); the backend then does not start.
    std::string error;
};

// The option first, then the variable, then the session.
PointerChoice ChoosePointerWay(const SessionFacts& facts);

// Whether Qt will find a desktop to open its windows on: the Wayland
// session's compositor, or else the X display. Qt ends the process when it
// finds none.
bool DesktopReachable(const SessionFacts& facts);

// What the program tells the user after opening /dev/uinput failed with
// `openErrno` (0: it opened): POINTER_READY, POINTER_DEVICE_MISSING (the
// module is not loaded), POINTER_DEVICE_DENIED (no access yet) or
// POINTER_DEVICE_FAILED.
uint32_t PointerStateAfterOpen(int openErrno);

}  // namespace gimbalo
