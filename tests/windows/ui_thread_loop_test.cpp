// The Windows message loop against the real Win32 calls: waitable timers
// tick the timer models on the user-interface thread, also inside the
// system's modal loops (a message box, the popup menu). A close request to
// the hidden window is tested on the running program, in replay_test.cpp.
#include <memory>
#include <string>

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

TEST(UiThreadLoop, TicksGoOnWhileAMessageBoxOrThePopupMenuIsOpen) {
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    testing::MenuWindow form;
    int ticks = 0;
    form.Timer1.Tick = [&ticks] { ++ticks; };
    platform->LoadForm(form);
    form.Timer1.SetInterval(5);

    // Each modal loop is ended from a tick that runs inside it.
    struct Case {
        const char* what;
        const char* windowClass;
        std::function<void()> open;
    } cases[] = {
        {"message box", "#32770",
         [&] { platform->MessageBox("ticking", MB_ICONEXCLAMATION, "Gimbalo test"); }},
        {"popup menu", "#32768", [&] { platform->ShowPopupMenu(form); }},
    };
    for (const Case& c : cases) {
        int inside = 0;
        platform->onDispatch = [&](Timer&) {
            HWND open = testing::ShownWindowOfClass(c.windowClass);
            if (open == nullptr) return;
            if (++inside == 20) {
                if (std::string(c.windowClass) == "#32768")
                    EndMenu();
                else
                    PostMessageW(open, WM_COMMAND, IDOK, 0);
            }
        };
        ticks = 0;
        c.open();
        EXPECT_GE(inside, 20) << c.what << ": the ticks stopped while it was open";
        EXPECT_GE(ticks, 20) << c.what;
    }
    platform->onDispatch = nullptr;
    platform->UnloadForm(form);
}

}  // namespace
}  // namespace gimbalo
