#include "platform/linux/x11_pointer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdint>

#include "platform/linux/button_guardian.h"
#include "platform/linux/fatal_signals.h"
#include "platform/linux/x_request_writer.h"
#include "platform/linux/xtest_request.h"

namespace gimbalo {

namespace {
// X button numbers of the Windows mouse buttons.
constexpr unsigned int kLeftButton = 1;
constexpr unsigned int kMiddleButton = 2;
constexpr unsigned int kRightButton = 3;
static_assert(kFakeMotion == MotionNotify && kFakeButtonRelease == ButtonRelease);
// X coordinates and moves have 16 bits, and the server keeps the pointer on
// a screen no wider or taller than 32767 pixels: a place beyond them, or a
// longer move, ends at the same edge.
int16_t Within16Bits(int32_t value) {
    return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

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
    int opcode = 0;
    if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor) ||
        !XQueryExtension(display_, "XTEST", &opcode, &eventBase, &errorBase)) {
        error = "gimbalo: the X display has no XTest extension; the pointer cannot be moved";
        XCloseDisplay(display_);
        display_ = nullptr;
        return false;
    }
    root_ = DefaultRootWindow(display_);
    writer_ = std::make_unique<XRequestWriter>(display_);
    buttons_.connection = ConnectionNumber(display_);
    buttons_.xtestOpcode = static_cast<uint8_t>(opcode);

    marker_ = XCreateWindow(display_, root_, -1, -1, 1, 1, 0, CopyFromParent, InputOnly,
                            CopyFromParent, 0, nullptr);
    XSync(display_, False);  // the window exists before the guardian looks for it
    guardian_ = ButtonGuardian::Start(DisplayString(display_), marker_);
    if (guardian_) buttons_.guardian = guardian_->Channel();
    fatalSignals_ = std::make_unique<FatalSignals>(
        [](void* held) { return ReleaseWithoutXlib(*static_cast<HeldButtons*>(held)); }, &buttons_);
    return true;
}

X11Pointer::~X11Pointer() {
    if (display_ == nullptr) return;
    fatalSignals_.reset();
    ReleaseHeldButtons();
    buttons_.guardian = -1;
    guardian_.reset();
    XCloseDisplay(display_);
}

bool X11Pointer::GetCursorPos(POINT& point) {
    if (display_ == nullptr) return false;
    XlibCall call(buttons_);
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
    // The request XTestFakeMotionEvent makes for the default screen.
    unsigned char request[kFakeInputSize];
    PutFakeInput(request, buttons_.xtestOpcode, kFakeMotion, kAbsoluteMotion, Within16Bits(x),
                 Within16Bits(y), static_cast<uint32_t>(root_));
    Send(request);
    return true;
}

bool X11Pointer::MoveCursorBy(int32_t dx, int32_t dy) {
    if (display_ == nullptr) return false;
    // The request XTestFakeRelativeMotionEvent makes.
    unsigned char request[kFakeInputSize];
    PutFakeInput(request, buttons_.xtestOpcode, kFakeMotion, kRelativeMotion, Within16Bits(dx),
                 Within16Bits(dy));
    Send(request);
    return true;
}

void X11Pointer::Send(const unsigned char (&request)[kFakeInputSize]) {
    XlibCall call(buttons_);
    // Written at once: the moving tick's one system call. A failed
    // connection ends the program in Xlib's way, as before.
    if (!writer_->Write(request, sizeof request)) XFlush(display_);
}

void X11Pointer::SendButtons(uint32_t flags) {
    if (display_ == nullptr) return;
    bool any = false;
    bool releases = false;
    uint32_t pressed = 0;
    uint32_t after = buttons_.held.load();
    for (const ButtonFlag& entry : kButtonFlags) {
        if ((flags & entry.flag) == 0) continue;
        const uint32_t bit = 1u << entry.button;
        if (entry.down) pressed |= bit;
        releases = releases || !entry.down;
        after = entry.down ? after | bit : after & ~bit;
        any = true;
    }
    if (!any) return;
    XlibCall call(buttons_);
    // Marked held before the press goes, and up only once the server has
    // done the release (it drops what it has not read from a client that
    // dies), so whatever ends the program in between lets go of it.
    SetHeld(buttons_.held.load() | pressed);
    for (const ButtonFlag& entry : kButtonFlags)
        if (flags & entry.flag)
            XTestFakeButtonEvent(display_, entry.button, entry.down ? True : False, CurrentTime);
    if (releases)
        XSync(display_, False);
    else
        XFlush(display_);
    SetHeld(after);
}

void X11Pointer::ReleaseHeldButtons() {
    if (display_ == nullptr || buttons_.held.load() == 0) return;
    XlibCall call(buttons_);
    for (unsigned int button : {kLeftButton, kMiddleButton, kRightButton})
        if (buttons_.held.load() & (1u << button))
            XTestFakeButtonEvent(display_, button, False, CurrentTime);
    // Wait for the server, so the release is done before the connection goes.
    XSync(display_, False);
    SetHeld(0);
}

bool X11Pointer::RestartGuardian() {
    if (display_ == nullptr) return false;
    std::unique_ptr<ButtonGuardian> next = ButtonGuardian::Start(DisplayString(display_), marker_);
    const int channel = next ? next->Channel() : -1;
    // The new channel is in place before the old one closes: a signal
    // handler may read it at any moment.
    buttons_.guardian.store(channel);
    guardian_ = std::move(next);
    if (channel >= 0) TellGuardian(channel, buttons_.held.load());
    return channel >= 0;
}

void X11Pointer::SetHeld(uint32_t held) {
    if (buttons_.held.exchange(held) != held) TellGuardian(buttons_.guardian, held);
}

}  // namespace gimbalo
