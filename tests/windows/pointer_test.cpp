// The pointer and the mouse buttons against the real Win32 calls under
// Wine: the position set is the position read, the desktop keeps it on the
// screen, and each injected button event reaches the window under the
// pointer, with a held button let go when the platform goes.
#include <memory>
#include <string>
#include <vector>

#include "tests/windows/windows_test_support.h"

namespace gimbalo {
namespace {

using testing::ChildProcess;
using testing::ChildRole;
using testing::EnvironmentValue;
using testing::NotingWindow;
using testing::TestPlatform;
using testing::WaitUntil;

TEST(WindowsPointer, PositionSetIsPositionReadAndStaysOnTheScreen) {
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    const int32_t right = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int32_t bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
    struct Case {
        int32_t x, y;
        int32_t expectedX, expectedY;
    } cases[] = {
        {100, 200, 100, 200},
        {0, 0, 0, 0},
        {right, bottom, right, bottom},
        {-40, 300, 0, 300},
        {500, bottom + 1000, 500, bottom},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(platform->SetCursorPos(c.x, c.y)) << c.x << "," << c.y;
        POINT read;
        ASSERT_TRUE(WaitUntil([&] {
            return platform->GetCursorPos(read) && read.x == c.expectedX && read.y == c.expectedY;
        })) << "set "
            << c.x << "," << c.y << ", read " << read.x << "," << read.y;
    }
}

TEST(WindowsPointer, EachButtonEventReachesTheWindowUnderThePointer) {
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    NotingWindow window(RECT{200, 200, 400, 400});
    ASSERT_NE(window.Handle(), nullptr);
    platform->SetCursorPos(300, 300);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window.Handle()) != FALSE; }));

    const std::vector<UINT> buttons = {WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_RBUTTONDOWN,
                                       WM_RBUTTONUP,   WM_MBUTTONDOWN, WM_MBUTTONUP};
    struct Case {
        uint32_t flags;
        std::vector<UINT> seen;
    } cases[] = {
        {MOUSEEVENTF_LEFTDOWN, {WM_LBUTTONDOWN}},
        {MOUSEEVENTF_LEFTUP, {WM_LBUTTONUP}},
        {MOUSEEVENTF_RIGHTDOWN, {WM_RBUTTONDOWN}},
        {MOUSEEVENTF_RIGHTUP, {WM_RBUTTONUP}},
        {MOUSEEVENTF_MIDDLEDOWN, {WM_MBUTTONDOWN}},
        {MOUSEEVENTF_MIDDLEUP, {WM_MBUTTONUP}},
        // Several flags in one call: one event each, in Windows' order.
        {MOUSEEVENTF_RIGHTUP | MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP | MOUSEEVENTF_RIGHTDOWN,
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}},
    };
    for (const Case& c : cases) {
        window.Forget();
        platform->mouse_event(c.flags, 0, 0, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return window.Seen(buttons).size() >= c.seen.size(); }))
            << "flags " << c.flags;
        WaitUntil([] { return false; }, std::chrono::milliseconds(50));  // nothing more comes
        EXPECT_EQ(window.Seen(buttons), c.seen) << "flags " << c.flags;
    }

    // A button the platform holds goes up with it.
    window.Forget();
    platform->mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MIDDLEDOWN, 0, 0, 0, 0);
    platform.reset();
    EXPECT_TRUE(WaitUntil([&] { return window.Seen(buttons).size() >= 4; }));
    EXPECT_EQ(window.Seen(buttons),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_LBUTTONUP, WM_MBUTTONUP}));
}

// Started by the test below: presses the left button, then crashes.
TEST(WindowsPointerChild, PressesAndCrashes) {
    if (ChildRole() != L"press-and-crash") GTEST_SKIP() << "runs as a child of the test below";
    // No crash dialog for the user to close.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    platform->mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

TEST(WindowsPointer, CrashLetsGoOfTheHeldButton) {
    if (!ChildRole().empty()) GTEST_SKIP();
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    NotingWindow window(RECT{200, 200, 400, 400});
    platform->SetCursorPos(300, 300);
    const std::vector<UINT> left = {WM_LBUTTONDOWN, WM_LBUTTONUP};
    testing::ScopedEnv role(L"GIMBALO_TEST_CHILD", L"press-and-crash");
    // The crash must reach the program, not be caught by the test runner.
    ChildProcess child(L'"' + testing::TestProgram() +
                       L"\" --gtest_filter=WindowsPointerChild.PressesAndCrashes "
                       L"--gtest_catch_exceptions=0");
    EXPECT_TRUE(WaitUntil([&] { return window.Seen(left).size() >= 2; }));
    EXPECT_EQ(window.Seen(left), left) << "the button stayed down";
    const testing::ProcessResult crashed = child.Wait();
    EXPECT_NE(crashed.exitCode, 0u) << crashed.output;
}

// Halves of tests/windows/pointer_through_x.sh, which moves and reads the
// pointer with xdotool on the same X display and says what to do in
// GIMBALO_X_POINTER: the position X put the pointer at, or "put".
TEST(WindowsPointerThroughX, ReadsWhereXPutIt) {
    const std::wstring put = EnvironmentValue(L"GIMBALO_X_POINTER");
    if (put.empty() || put == L"put") GTEST_SKIP() << "run by pointer_through_x.sh";
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    const int32_t x = std::stoi(put);
    const int32_t y = std::stoi(put.substr(put.find(L',') + 1));
    POINT read;
    EXPECT_TRUE(WaitUntil([&] {
        return platform->GetCursorPos(read) && read.x == x && read.y == y;
    })) << "read "
        << read.x << "," << read.y;
}

TEST(WindowsPointerThroughX, PutsItWhereXReadsIt) {
    if (EnvironmentValue(L"GIMBALO_X_POINTER") != L"put")
        GTEST_SKIP() << "run by pointer_through_x.sh";
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    EXPECT_TRUE(platform->SetCursorPos(456, 234));
}

}  // namespace
}  // namespace gimbalo
