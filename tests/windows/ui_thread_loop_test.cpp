// The Windows message loop against the real Win32 calls: the timers tick
// the timer models on the user-interface thread, also inside the modal loops
// of the system and of controls (a message box, the popup menu, an edit's
// context menu). A close request to
// the hidden window is tested on the running program, in replay_test.cpp.
#include <memory>
#include <string>

#include "platform/windows/joystick_watch.h"
#include "platform/windows/ui_thread_loop.h"
#include "tests/windows/windows_test_support.h"

namespace gimbalo {
namespace {

using testing::TestPlatform;

class TimerForm : public Form {
public:
    TimerForm() : Form("TimerForm") {}
    Timer Fast{*this, "Fast"};
    Timer Slow{*this, "Slow"};
    Timer Held{*this, "Held"};
};

TEST(UiThreadLoop, FollowedTimersTickUntilForgottenOrStopped) {
    UiThreadLoop loop(GetModuleHandleW(nullptr));
    TimerForm form;
    form.Fast.SetInterval(5);
    form.Slow.SetInterval(0);
    int fast = 0;
    int slow = 0;
    int held = 0;
    loop.Follow(form.Slow, [&slow](Timer&) { ++slow; });
    form.Held.SetInterval(5);
    form.Held.SetEnabled(false);
    loop.Follow(form.Held, [&held](Timer&) { ++held; });
    loop.Follow(form.Fast, [&](Timer& timer) {
        EXPECT_EQ(&timer, &form.Fast);
        if (++fast == 20) loop.Quit();
    });
    loop.Run();
    EXPECT_EQ(fast, 20);
    EXPECT_EQ(slow, 0) << "a timer of interval 0 ticked";
    EXPECT_EQ(held, 0) << "a disabled timer ticked";

    // A timer that forgets itself from its own tick ticks no more; the other
    // one, restarted at 5 ms, ends the run; the disabled one, enabled again,
    // ticks.
    int forgotten = 0;
    loop.Follow(form.Fast, [&](Timer& timer) {
        ++forgotten;
        loop.Forget(timer);
    });
    form.Slow.SetInterval(5);
    loop.Follow(form.Slow, [&](Timer&) {
        if (++slow == 10) loop.Quit();
    });
    form.Held.SetEnabled(true);
    loop.Follow(form.Held, [&held](Timer&) { ++held; });
    loop.Run();
    EXPECT_EQ(forgotten, 1);
    EXPECT_EQ(slow, 10);
    EXPECT_GT(held, 0) << "a timer enabled again did not tick";
}

TEST(UiThreadLoop, TicksGoOnInEveryModalLoopAndAJoystickClickClosesAnEditsContextMenu) {
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    testing::MenuWindow form;
    int ticks = 0;
    form.Timer1.Tick = [&ticks] { ++ticks; };
    platform->LoadForm(form);
    form.Timer1.SetInterval(5);
    // An edit of its own, whose context menu is a loop of the system that
    // the program knows nothing of.
    HWND edit =
        CreateWindowExW(WS_EX_TOPMOST, L"EDIT", L"1.5", WS_POPUP | WS_VISIBLE | WS_BORDER, 100, 100,
                        200, 24, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);

    // Each modal loop is ended from a tick that runs inside it; the context
    // menu by the joystick's left button, pressed away from it.
    struct Case {
        const char* what;
        const char* windowClass;
        std::function<void()> open;
        std::function<void(HWND)> close;
    } cases[] = {
        {"message box", "#32770",
         [&] { platform->MessageBox("ticking", MB_ICONEXCLAMATION, "Gimbalo test"); },
         [](HWND open) { PostMessageW(open, WM_COMMAND, IDOK, 0); }},
        {"popup menu", "#32768", [&] { platform->ShowPopupMenu(form); }, [](HWND) { EndMenu(); }},
        {"edit's context menu", "#32768",
         [&] {
             SendMessageW(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit),
                          MAKELPARAM(110, 110));
         },
         [&](HWND) {
             platform->SetCursorPos(1000, 700);
             platform->mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
             platform->mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
         }},
    };
    for (const Case& c : cases) {
        int inside = 0;
        bool stuck = false;
        platform->onDispatch = [&](Timer&) {
            HWND open = testing::ShownWindowOfClass(c.windowClass);
            if (open == nullptr) return;
            if (++inside == 20) c.close(open);
            // Still open two seconds after: closed the keyboard's way, and
            // the case fails.
            if (inside == 420) {
                stuck = true;
                EndMenu();
                PostMessageW(open, WM_COMMAND, IDOK, 0);
            }
        };
        ticks = 0;
        c.open();
        EXPECT_GE(inside, 20) << c.what << ": the ticks stopped while it was open";
        EXPECT_FALSE(stuck) << c.what << ": still open after the close from a tick";
        EXPECT_GE(ticks, 20) << c.what;
    }
    platform->onDispatch = nullptr;
    DestroyWindow(edit);
    platform->UnloadForm(form);
}

TEST(JoystickWatch, WakesOnceForTheWatchedDeviceAndWatchesArrivalsOfAMissingOne) {
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    // Wine here has no joystick: device 3 is missing, and only Raw Input's
    // arrivals can tell of it.
    EXPECT_TRUE(platform->WatchJoystick(3, [] {}));
    platform->StopWatchingJoystick();

    // Device 0's input told of by a device of the test's own, as the
    // replay's scripted joystick does.
    int token = 0;
    int other = 0;
    platform->Watch()->TakeInputFrom([&token](int device) {
        if (device != 0) return JoystickWatch::Input{};
        return JoystickWatch::Input{JoystickWatch::Input::Kind::Devices, {&token}};
    });
    EXPECT_FALSE(platform->WatchJoystick(1, [] {})) << "a device that cannot be watched";
    int wakes = 0;
    ASSERT_TRUE(platform->WatchJoystick(0, [&wakes] { ++wakes; }));
    platform->Watch()->Report(&other);
    platform->Watch()->Report(&token);
    platform->Watch()->Report(&token);
    testing::WaitUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(wakes, 1) << "another device's report woke it, or one report woke it twice";
    platform->Watch()->TakeInputFrom(nullptr);
}

}  // namespace
}  // namespace gimbalo
