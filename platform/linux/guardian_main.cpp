// gimbalo-guardian DISPLAY WINDOW: lets go of the mouse buttons gimbalo held
// when gimbalo ends without doing so itself (SIGKILL, the out-of-memory
// killer). gimbalo starts it with one end of a socket pair as its standard
// input and writes a byte each time its held X buttons change: the whole
// set, bit n for button n (button_guardian.h). The input ends when gimbalo
// does, however it ends. If buttons were still down, the guardian waits
// until the X server has destroyed WINDOW, a window of gimbalo's own
// connection (so the server has done every request gimbalo sent, a press in
// flight included), then releases each one through XTest on its own
// connection. It then exits.
//
// It wakes only when gimbalo writes or ends: a blocking read, no timer.
//
// Exit status: 0 when it ran; 1 when the display cannot be used; 2 for wrong
// arguments.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/linux/button_guardian.h"

namespace {

// How long the server may take to destroy gimbalo's window once gimbalo is
// gone; the release goes out in any case after it.
constexpr std::chrono::milliseconds kMarkerWait{2000};
// Once gimbalo is gone, the guardian ends within this many seconds whatever
// hangs (a stuck X server), so it never outlives gimbalo for long.
constexpr unsigned int kLastSeconds = 5;
// X resource ids have 29 bits.
constexpr unsigned long kLargestId = 0x1FFFFFFF;

int Usage(const std::string& problem) {
    std::fprintf(stderr,
                 "gimbalo-guardian: %s\n"
                 "usage: gimbalo-guardian DISPLAY WINDOW (gimbalo starts it, with its standard "
                 "input as the channel)\n",
                 problem.c_str());
    return 2;
}

bool ParseWindow(const char* text, Window& window) {
    if (text[0] < '0' || text[0] > '9') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 0);
    if (errno != 0 || *end != '\0' || value == 0 || value > kLargestId) return false;
    window = value;
    return true;
}

// The window may go at any time, and requests about it then fail; such a
// failure only means it is gone.
int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

// Waits until the server has destroyed `marker`, at most kMarkerWait.
void WaitForMarkerToGo(Display* display, Window marker) {
    const auto deadline = std::chrono::steady_clock::now() + kMarkerWait;
    XEvent event;
    while (!XCheckTypedWindowEvent(display, marker, DestroyNotify, &event)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        if (poll(&connection, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return;
    }
}

// The held buttons, as the last byte read said, once the input ends.
uint32_t HeldWhenInputEnds() {
    uint32_t held = 0;
    unsigned char bytes[64];
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, bytes, sizeof bytes);
        if (got > 0)
            held = bytes[got - 1] & gimbalo::kGuardedButtons;
        else if (got == 0 || errno != EINTR)
            return held;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Usage("expected 2 arguments, got " + std::to_string(argc - 1));
    Window marker = 0;
    if (!ParseWindow(argv[2], marker))
        return Usage("WINDOW must be an X window number, not \"" + std::string(argv[2]) + "\"");
    // Its life is gimbalo's: the terminal, gimbalo's job and a session
    // asking every process to end do not end it, only the end of its input
    // does (gimbalo, asked to end too, then lets go itself or dies).
    for (int signalNumber : {SIGINT, SIGQUIT, SIGHUP, SIGTERM, SIGPIPE, SIGTSTP, SIGTTIN, SIGTTOU})
        signal(signalNumber, SIG_IGN);
    // Nothing gimbalo had open is held open by it.
    close_range(STDERR_FILENO + 1, ~0u, 0);

    Display* display = XOpenDisplay(argv[1]);
    if (display == nullptr) {
        std::fprintf(stderr, "gimbalo-guardian: cannot open the X display \"%s\"\n", argv[1]);
        return 1;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        std::fprintf(stderr, "gimbalo-guardian: the X display \"%s\" has no XTest extension\n",
                     argv[1]);
        XCloseDisplay(display);
        return 1;
    }
    XSetErrorHandler(IgnoreError);
    XSelectInput(display, marker, StructureNotifyMask);
    XWindowAttributes attributes;
    // A round trip: from here on its destruction is reported. Already gone
    // means gimbalo is.
    const bool markerThere = XGetWindowAttributes(display, marker, &attributes) != 0;

    const uint32_t held = HeldWhenInputEnds();
    alarm(kLastSeconds);
    if (held != 0) {
        if (markerThere) WaitForMarkerToGo(display, marker);
        for (unsigned int button = 1; button <= 3; ++button)
            if (held & (1u << button)) XTestFakeButtonEvent(display, button, False, CurrentTime);
        XSync(display, False);
    }
    XCloseDisplay(display);
    return 0;
}
