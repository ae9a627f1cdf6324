#include "platform/linux/desktop_session.h"

#include <X11/Xlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace gimbalo {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Sets `way` from a named way; false for any other name.
bool NamedWay(const std::string& name, PointerWay& way) {
    if (name == "uinput") {
        way = PointerWay::Uinput;
        return true;
    }
    if (name == "xtest") {
        way = PointerWay::XTest;
        return true;
    }
    return false;
}

}  // namespace

SessionFacts CurrentSession(const std::string& option) {
    return {option, Variable(kPointerVariable), Variable("WAYLAND_DISPLAY"),
            Variable("XDG_SESSION_TYPE"), Variable("XDG_RUNTIME_DIR")};
}

bool IsWaylandSession(const SessionFacts& facts) {
    return !facts.waylandDisplay.empty() || facts.sessionType == "wayland";
}

PointerChoice ChoosePointerWay(const SessionFacts& facts) {
    PointerChoice choice;
    if (!facts.option.empty()) {
        if (!NamedWay(facts.option, choice.way))
            choice.error = "gimbalo: --pointer takes uinput or xtest, not '" + facts.option + "'";
        return choice;
    }
    if (!facts.variable.empty()) {
        if (!NamedWay(facts.variable, choice.way))
            choice.error = std::string("gimbalo: ") + kPointerVariable +
                           " takes uinput or xtest, not '" + facts.variable + "'";
        return choice;
    }
    choice.way = IsWaylandSession(facts) ? PointerWay::Uinput : PointerWay::XTest;
    return choice;
}

bool DesktopReachable(const SessionFacts& facts) {
    if (IsWaylandSession(facts)) {
        // Where Wayland's clients connect: a path, or a name in the runtime folder.
        const std::string name = facts.waylandDisplay.empty() ? "wayland-0" : facts.waylandDisplay;
        const std::string path = name.front() == '/' ? name : facts.runtimeDir + "/" + name;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0 && path.size() < sizeof address.sun_path) {
            std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
            const bool connected =
                connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
            close(fd);
            if (connected) return true;
        } else if (fd >= 0) {
            close(fd);
        }
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    XCloseDisplay(display);
    return true;
}

uint32_t PointerStateAfterOpen(int openErrno) {
    switch (openErrno) {
        case 0:
            return POINTER_READY;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return POINTER_DEVICE_MISSING;
        case EACCES:
        case EPERM:
            return POINTER_DEVICE_DENIED;
        default:
            return POINTER_DEVICE_FAILED;
    }
}

}  // namespace gimbalo
