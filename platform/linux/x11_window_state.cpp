#include "platform/linux/x11_window_state.h"

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <vector>

// After Qt: Xlib's macros (None, Bool, Status) would clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace gimbalo {

void SkipTaskbar(QWidget& window) {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr || window.isVisible()) return;
    const auto id = static_cast<Window>(window.winId());  // creates the X window
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom wanted[] = {XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False),
                           XInternAtom(display, "_NET_WM_STATE_SKIP_PAGER", False)};

    // Qt merges its own states into what the property holds when it maps
    // the window, so states set here stay.
    std::vector<Atom> atoms;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, id, state, 0, 1024, False, XA_ATOM, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        if (type == XA_ATOM && format == 32) {
            const auto* held = reinterpret_cast<const Atom*>(data);
            atoms.assign(held, held + count);
        }
        XFree(data);
    }
    for (Atom atom : wanted)
        if (std::find(atoms.begin(), atoms.end(), atom) == atoms.end()) atoms.push_back(atom);
    XChangeProperty(display, id, state, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(atoms.data()),
                    static_cast<int>(atoms.size()));
    XFlush(display);
}

}  // namespace gimbalo
