#include "platform/linux/x11_pointer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "platform/linux/crash_button_release.h"

namespace gimbalo {

namespace {
// X button numbers of the Windows mouse buttons.
constexpr unsigned int kLeftButton = 1;
constexpr unsigned int kMiddleButton = 2;
constexpr unsigned int kRightButton = 3;

struct ButtonFlag {
    uint32_t flag;
    unsigned int button;
    bool down;
};
constexpr ButtonFlag kButtonFlags[] = {
    {MOUSEEVENTF_LEFTDOWN, kLeftButton, true},     {MOUSEEVENTF_LEFTUP, kLeftButton, false},
    {MOUSEEVENTF_RIGHTDOWN, kRightButton, true},   {MOUSEEVENTF_RIGHTUP, kRightButton, false},
    {MOUSEEVENTF_MIDDLEDOWN, kMiddleButton, true}, {MOUSEEVENTF_MIDDLEUP, kMiddleButton, false},
};
}  // namespace

X11Pointer::X11Pointer() = default;

bool X11Pointer::Open(std::string& error) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        error = "gimbalo: cannot open the X display; is DISPLAY set?";
        return false;
    }
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor)) {
        error = "gimbalo: the X display has no XTest extension; the pointer cannot be moved";
        XCloseDisplay(display_);
        display_ = nullptr;
        return false;
    }
    root_ = DefaultRootWindow(display_);
    crashRelease_ = std::make_unique<CrashButtonRelease>(display_, held_);
    return true;
}

X11Pointer::~X11Pointer() {
    if (display_ == nullptr) return;
    crashRelease_.reset();
    ReleaseHeldButtons();
    XCloseDisplay(display_);
}

bool X11Pointer::GetCursorPos(POINT& point) {
    if (display_ == nullptr) return false;
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int mask = 0;
    // False only when the pointer is on another screen; the root coordinates
    // are then still the pointer's.
    XQueryPointer(display_, root_, &root, &child, &rootX, &rootY, &windowX, &windowY, &mask);
    point.x = rootX;
    point.y = rootY;
    return true;
}

bool X11Pointer::SetCursorPos(int32_t x, int32_t y) {
    if (display_ == nullptr) return false;
    // The server keeps the pointer on the screen.
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    XFlush(display_);
    return true;
}

bool X11Pointer::MoveCursorBy(int32_t dx, int32_t dy) {
    if (display_ == nullptr) return false;
    XTestFakeRelativeMotionEvent(display_, dx, dy, CurrentTime);
    XFlush(display_);
    return true;
}

void X11Pointer::SendButtons(uint32_t flags) {
    if (display_ == nullptr) return;
    bool sent = false;
    for (const ButtonFlag& entry : kButtonFlags) {
        if ((flags & entry.flag) == 0) continue;
        SendButton(entry.button, entry.down);
        sent = true;
    }
    if (sent) XFlush(display_);
}

void X11Pointer::SendButton(unsigned int button, bool down) {
    // Marked before the press and cleared after the release, so a crash in
    // between still lets go of it.
    if (down) held_ |= 1u << button;
    XTestFakeButtonEvent(display_, button, down ? True : False, CurrentTime);
    if (!down) held_ &= ~(1u << button);
}

void X11Pointer::ReleaseHeldButtons() {
    if (display_ == nullptr || held_ == 0) return;
    for (unsigned int button : {kLeftButton, kMiddleButton, kRightButton})
        if (held_ & (1u << button)) SendButton(button, false);
    // Wait for the server, so the release is done before the connection goes.
    XSync(display_, False);
}

}  // namespace gimbalo
