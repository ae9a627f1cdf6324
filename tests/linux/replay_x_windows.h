// The windows a child process shows on the X display, seen from outside the
// way a user sees them: top-level, mapped, with their titles and sizes.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <sys/types.h>

#include <algorithm>
#include <string>
#include <vector>

namespace gimbalo::testing {

struct ShownWindow {
    std::string title;
    int width = 0;
    int height = 0;
};

namespace detail {

// A window property of 8- or 32-bit items, or nothing.
inline std::vector<unsigned char> Property(Display* display, ::Window window, const char* name,
                                           Atom type) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned char> bytes;
    const Atom atom = XInternAtom(display, name, False);
    if (XGetWindowProperty(display, window, atom, 0, 1024, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        const std::size_t size = format == 32 ? count * sizeof(long) : count * (format / 8);
        bytes.assign(data, data + size);
        XFree(data);
    }
    return bytes;
}

}  // namespace detail

// The mapped top-level windows whose _NET_WM_PID is `pid`; empty when there
// are none or the display cannot be opened.
inline std::vector<ShownWindow> ShownWindowsOf(pid_t pid) {
    std::vector<ShownWindow> shown;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return shown;
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) != 0) {
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes) == 0 ||
                attributes.map_state != IsViewable)
                continue;
            const std::vector<unsigned char> owner =
                detail::Property(display, children[i], "_NET_WM_PID", XA_CARDINAL);
            long ownerPid = 0;
            if (owner.size() < sizeof ownerPid) continue;
            std::copy(owner.begin(), owner.begin() + sizeof ownerPid,
                      reinterpret_cast<unsigned char*>(&ownerPid));
            if (ownerPid != static_cast<long>(pid)) continue;
            const std::vector<unsigned char> title = detail::Property(
                display, children[i], "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False));
            shown.push_back(
                {std::string(title.begin(), title.end()), attributes.width, attributes.height});
        }
    }
    if (children != nullptr) XFree(children);
    XCloseDisplay(display);
    return shown;
}

// The mouse buttons 1 to 3 held on the display, as a mask of X's Button1Mask
// to Button3Mask; -1 when the display cannot be opened.
inline long HeldMouseButtons() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return -1;
    ::Window root = 0, child = 0;
    int x = 0, y = 0, windowX = 0, windowY = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY,
                  &mask);
    XCloseDisplay(display);
    return mask & (Button1Mask | Button2Mask | Button3Mask);
}

}  // namespace gimbalo::testing
