// The pointer and the mouse buttons, seen by another client of the X server.
// GoogleTest before Xlib, whose macros (None, Bool) clash with its names.
#include "linux_test_support.h"

#include <X11/Xlib.h>
#include <poll.h>
#include <sys/mman.h>

#include <csignal>
#include <cstdlib>

#include <string>
#include <utility>
#include <vector>

namespace gimbalo {
namespace {

using testing::kDeadline;

// A second connection to the same server: what any other client sees.
class Observer {
public:
    Observer() : display_(XOpenDisplay(nullptr)) {}
    ~Observer() {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    Observer(const Observer&) = delete;
    Observer& operator=(const Observer&) = delete;

    Display* display() { return display_; }
    Window Root() { return DefaultRootWindow(display_); }
    int Width() { return DisplayWidth(display_, DefaultScreen(display_)); }
    int Height() { return DisplayHeight(display_, DefaultScreen(display_)); }

    POINT Pointer() {
        unsigned int mask = 0;
        return Query(mask);
    }
    unsigned int ButtonMask() {
        unsigned int mask = 0;
        Query(mask);
        return mask & (Button1Mask | Button2Mask | Button3Mask);
    }

    // A window over the whole screen that hears button presses and releases.
    Window MapCatcher() {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.event_mask = ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
        Window window =
            XCreateWindow(display_, Root(), 0, 0, static_cast<unsigned>(Width()),
                          static_cast<unsigned>(Height()), 0, CopyFromParent, InputOnly,
                          CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
        XMapRaised(display_, window);
        XSync(display_, False);
        const auto until = std::chrono::steady_clock::now() + kDeadline;
        XWindowAttributes state{};
        while (XGetWindowAttributes(display_, window, &state) && state.map_state != IsViewable &&
               std::chrono::steady_clock::now() < until)
            WaitForEvents(until);
        return window;
    }

    // The button events that reach `window`, waiting until `count` arrived.
    std::vector<std::pair<int, unsigned int>> ButtonEvents(Window window, std::size_t count) {
        std::vector<std::pair<int, unsigned int>> events;
        const auto until = std::chrono::steady_clock::now() + kDeadline;
        XSync(display_, False);
        while (events.size() < count && std::chrono::steady_clock::now() < until) {
            while (XPending(display_) > 0) {
                XEvent event{};
                XNextEvent(display_, &event);
                if ((event.type == ButtonPress || event.type == ButtonRelease) &&
                    event.xbutton.window == window)
                    events.emplace_back(event.type, event.xbutton.button);
            }
            if (events.size() < count) WaitForEvents(until);
        }
        return events;
    }

private:
    POINT Query(unsigned int& mask) {
        Window root = 0;
        Window child = 0;
        int x = 0;
        int y = 0;
        int windowX = 0;
        int windowY = 0;
        XQueryPointer(display_, Root(), &root, &child, &x, &y, &windowX, &windowY, &mask);
        return {x, y};
    }
    void WaitForEvents(std::chrono::steady_clock::time_point until) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(std::max<long>(left.count(), 0)));
    }

    Display* display_;
};

TEST(X11Pointer, SetCursorPosMovesThePointerOnTheScreen) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    Observer observer;
    ASSERT_NE(observer.display(), nullptr);
    const int right = observer.Width() - 1;
    const int bottom = observer.Height() - 1;
    struct Case {
        int32_t x, y;
        POINT expected;
    };
    const Case cases[] = {
        {100, 200, {100, 200}},
        {0, 0, {0, 0}},
        {right, bottom, {right, bottom}},
        {-40, 30, {0, 30}},  // kept on the screen
        {50, bottom + 500, {50, bottom}},
        // Beyond what an X coordinate holds: at the edge it is nearest to.
        {40000, 70100, {right, bottom}},
        {-70000, 65536 + 100, {0, bottom}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(platform->SetCursorPos(c.x, c.y));
        POINT own;
        platform->GetCursorPos(own);  // a round trip: the server has moved the pointer
        EXPECT_EQ(own.x, c.expected.x);
        EXPECT_EQ(own.y, c.expected.y);
        const POINT seen = observer.Pointer();
        EXPECT_EQ(seen.x, c.expected.x) << "SetCursorPos(" << c.x << ", " << c.y << ")";
        EXPECT_EQ(seen.y, c.expected.y) << "SetCursorPos(" << c.x << ", " << c.y << ")";
    }
}

TEST(X11Pointer, MoveCursorByMovesFromWhereThePointerIsUnacceleratedAndOnTheScreen) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    Observer observer;
    ASSERT_NE(observer.display(), nullptr);
    // The desktop's mouse acceleration, fast, must not touch these moves.
    int numerator = 0, denominator = 0, threshold = 0;
    XGetPointerControl(observer.display(), &numerator, &denominator, &threshold);
    XChangePointerControl(observer.display(), True, True, 10, 1, 1);
    XSync(observer.display(), False);
    const int right = observer.Width() - 1;
    const int bottom = observer.Height() - 1;
    struct Case {
        POINT from;
        int32_t dx, dy;
        POINT expected;
    } cases[] = {
        {{100, 200}, 9, -3, {109, 197}},
        {{100, 200}, -2, 0, {98, 200}},
        {{3, 4}, -9, -9, {0, 0}},  // kept on the screen
        {{right - 1, 50}, 9, 0, {right, 50}},
        // Beyond what an X coordinate holds: to the edge, never the other way.
        {{100, 200}, 40000, -40000, {right, 0}},
        {{100, 200}, -65535, 65535, {0, bottom}},
    };
    for (const Case& c : cases) {
        // Put there by another client: the move starts where the server has it.
        XWarpPointer(observer.display(), None, observer.Root(), 0, 0, 0, 0, c.from.x, c.from.y);
        XSync(observer.display(), False);
        ASSERT_TRUE(platform->MoveCursorBy(c.dx, c.dy));
        POINT own;
        platform->GetCursorPos(own);  // a round trip: the server has moved it
        EXPECT_EQ(own.x, c.expected.x) << c.dx << "," << c.dy;
        EXPECT_EQ(own.y, c.expected.y) << c.dx << "," << c.dy;
    }
    XChangePointerControl(observer.display(), True, True, numerator, denominator, threshold);
    XSync(observer.display(), False);
}

// Moves go straight onto the connection, beside Xlib's own requests: every
// request and answer must still meet in order, however they alternate.
TEST(X11Pointer, MovesInterleavedWithOtherCallsKeepTheirOrder) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    Observer observer;
    ASSERT_NE(observer.display(), nullptr);
    const Window catcher = observer.MapCatcher();
    ASSERT_TRUE(platform->SetCursorPos(200, 300));
    POINT expected{200, 300};
    for (int round = 0; round < 50; ++round) {
        const int32_t dx = round % 2 == 0 ? 3 : -1;
        for (int move = 0; move < round % 4 + 1; ++move) {
            ASSERT_TRUE(platform->MoveCursorBy(dx, 1));
            expected.x += dx;
            expected.y += 1;
        }
        if (round % 5 == 4) {
            // A press and a release, which waits for the server.
            platform->mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
            platform->mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        }
        if (round % 7 == 6) {
            ASSERT_TRUE(platform->SetCursorPos(expected.x + 5, expected.y));
            expected.x += 5;
        }
        POINT own;
        ASSERT_TRUE(platform->GetCursorPos(own));
        EXPECT_EQ(own.x, expected.x) << "round " << round;
        EXPECT_EQ(own.y, expected.y) << "round " << round;
    }
    EXPECT_EQ(observer.Pointer().x, expected.x);
    EXPECT_EQ(observer.Pointer().y, expected.y);
    EXPECT_EQ(observer.ButtonEvents(catcher, 20).size(), 20u);
    EXPECT_EQ(observer.ButtonMask(), 0u);
    XDestroyWindow(observer.display(), catcher);
}

TEST(X11Pointer, GetCursorPosReadsWhereAnotherClientPutThePointer) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    Observer observer;
    ASSERT_NE(observer.display(), nullptr);
    XWarpPointer(observer.display(), None, observer.Root(), 0, 0, 0, 0, 321, 123);
    XSync(observer.display(), False);
    POINT point;
    ASSERT_TRUE(platform->GetCursorPos(point));
    EXPECT_EQ(point.x, 321);
    EXPECT_EQ(point.y, 123);
}

TEST(X11Pointer, MouseEventPressesAndReleasesTheMatchingXButtons) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    Observer observer;
    ASSERT_NE(observer.display(), nullptr);
    const Window catcher = observer.MapCatcher();
    platform->SetCursorPos(observer.Width() / 2, observer.Height() / 2);

    struct Case {
        uint32_t flags;
        std::vector<std::pair<int, unsigned int>> expected;
    };
    const Case cases[] = {
        {MOUSEEVENTF_LEFTDOWN, {{ButtonPress, 1}}},
        {MOUSEEVENTF_LEFTUP, {{ButtonRelease, 1}}},
        {MOUSEEVENTF_RIGHTDOWN, {{ButtonPress, 3}}},
        {MOUSEEVENTF_RIGHTUP, {{ButtonRelease, 3}}},
        {MOUSEEVENTF_MIDDLEDOWN, {{ButtonPress, 2}}},
        {MOUSEEVENTF_MIDDLEUP, {{ButtonRelease, 2}}},
        // Several flags at once: one event each, left before right before middle.
        {MOUSEEVENTF_MIDDLEDOWN | MOUSEEVENTF_LEFTDOWN, {{ButtonPress, 1}, {ButtonPress, 2}}},
        {MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MIDDLEUP, {{ButtonRelease, 1}, {ButtonRelease, 2}}},
        {MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP, {{ButtonPress, 3}, {ButtonRelease, 3}}},
    };
    for (const Case& c : cases) {
        platform->mouse_event(c.flags, 0, 0, 0, 0);
        EXPECT_EQ(observer.ButtonEvents(catcher, c.expected.size()), c.expected)
            << "flags 0x" << std::hex << c.flags;
    }
    EXPECT_EQ(observer.ButtonMask(), 0u);
    XDestroyWindow(observer.display(), catcher);
}

TEST(X11Pointer, ClosingThePlatformReleasesAButtonLeftDown) {
    if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display";
    Observer observer;
    ASSERT_NE(observer.display(), nullptr);
    {
        std::string error;
        auto platform = testing::TestPlatform::Create(error);
        ASSERT_TRUE(platform) << error;
        platform->mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
        platform->mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
        POINT sync;
        platform->GetCursorPos(sync);  // a round trip: the presses are done
        ASSERT_EQ(observer.ButtonMask(), static_cast<unsigned>(Button1Mask));
    }
    EXPECT_EQ(observer.ButtonMask(), 0u);
}

// The X server keeps an XTest button down after its client has gone, so a
// crash or any other deadly signal must let go of it on the way out.
TEST(X11Pointer, ADeadlySignalLetsGoOfTheHeldButtons) {
    if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display";
    if (testing::InTestChild()) {
        std::string error;
        auto platform = testing::TestPlatform::Create(error);
        if (!platform) _exit(3);
        platform->mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MIDDLEDOWN, 0, 0, 0, 0);
        POINT sync;
        platform->GetCursorPos(sync);  // a round trip: the presses are done
        const std::string crash = std::getenv("GIMBALO_TEST_CRASH");
        if (crash == "fault") {
            // A real fault, not a sent signal: a store to a page that allows
            // none.
            void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (page != MAP_FAILED) *static_cast<volatile int*>(page) = 1;
        }
        if (crash == "trap") __builtin_trap();  // an illegal instruction
        std::raise(std::atoi(crash.c_str()));
        _exit(4);
    }
    Observer observer;
    ASSERT_NE(observer.display(), nullptr);
    const struct {
        std::string crash;
        int signalNumber;
    } cases[] = {{"fault", SIGSEGV},
                 {std::to_string(SIGSEGV), SIGSEGV},
                 {std::to_string(SIGABRT), SIGABRT},
                 {std::to_string(SIGBUS), SIGBUS},
                 {std::to_string(SIGFPE), SIGFPE},
                 {"trap", SIGILL},
                 {std::to_string(SIGTRAP), SIGTRAP},
                 {std::to_string(SIGUSR1), SIGUSR1},
                 {std::to_string(SIGXCPU), SIGXCPU},
                 {std::to_string(SIGRTMIN), SIGRTMIN}};
    for (const auto& [crash, signalNumber] : cases) {
        // The sanitizers' own reports would end the child another way.
        const int status = testing::RunTestInChild(
            "X11Pointer.ADeadlySignalLetsGoOfTheHeldButtons",
            {"GIMBALO_TEST_CRASH=" + crash,
             "ASAN_OPTIONS=handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_abort=0"});
        ASSERT_TRUE(WIFSIGNALED(status)) << crash << ": status " << status;
        EXPECT_EQ(WTERMSIG(status), signalNumber) << crash;
        EXPECT_EQ(observer.ButtonMask(), 0u) << "after " << crash;
    }
}

}  // namespace
}  // namespace gimbalo
