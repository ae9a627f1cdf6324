// The notification-area icon against Wine's shell, docked in a real
// notification area (trayer, started with the test run): the icon appears,
// a click on it reaches the window's mouse-move handler with the mouse
// message in place of x, and it goes when deleted. After the shell has lost
// it, the shell's "TaskbarCreated" brings it back.
#include <algorithm>
#include <memory>
#include <set>

#include "platform/common/picture_files.h"
#include "platform/forms.h"
#include "platform/windows/tray_icons.h"
#include "platform/windows/ui_thread_loop.h"
#include "tests/windows/windows_test_support.h"

namespace gimbalo {
namespace {

using testing::ClassOf;
using testing::TestPlatform;
using testing::WaitUntil;

// Wine's window of a tray icon, and the window that stands for a window of
// another X client (the notification area) in Wine.
constexpr char kIconClass[] = "__winex11_tray_icon";
constexpr char kForeignClass[] = "__wine_x11_foreign_window";

// Collects the tray icons that the notification area has taken in: those
// that have left their place of birth for the area's window.
BOOL CALLBACK CollectDockedIcons(HWND window, LPARAM found) {
    if (ClassOf(window) == kIconClass && IsWindowVisible(window) &&
        ClassOf(GetAncestor(window, GA_PARENT)) == kForeignClass)
        reinterpret_cast<std::set<HWND>*>(found)->insert(window);
    return TRUE;
}

BOOL CALLBACK SearchTopLevel(HWND window, LPARAM found) {
    CollectDockedIcons(window, found);
    EnumChildWindows(window, &CollectDockedIcons, found);
    return TRUE;
}

std::set<HWND> DockedIcons() {
    std::set<HWND> found;
    EnumWindows(&SearchTopLevel, reinterpret_cast<LPARAM>(&found));
    return found;
}

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform = TestPlatform::Create();
        ASSERT_NE(platform, nullptr);
        platform->LoadForm(window);
        window.MouseMove = [this](int, int, float x, float) { xs.push_back(x); };
        record.cbSize = 88;
        record.hWnd = &window;
        record.uID = 7;
        record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        record.uCallbackMessage = WM_MOUSEMOVE;
        record.hIcon = platform->LoadPicture(kProgramIconPicture);
        record.szTip = "Animated TrayIcon";
        before = DockedIcons();
    }
    void TearDown() override {
        if (platform) platform->UnloadForm(window);
    }

    // The icon this test added, once Wine has docked it.
    HWND NewIcon() {
        HWND icon = nullptr;
        WaitUntil([&] {
            for (HWND docked : DockedIcons())
                if (before.count(docked) == 0) icon = docked;
            return icon != nullptr;
        });
        return icon;
    }

    std::unique_ptr<TestPlatform> platform;
    Form window{"TrayWindow"};
    NOTIFYICONDATA record;
    std::vector<float> xs;
    std::set<HWND> before;
};

TEST_F(TrayTest, IconAppearsTakesClicksAndGoes) {
    ASSERT_NE(record.hIcon, 0) << "the program's picture did not load";
    ASSERT_TRUE(platform->Shell_NotifyIconA(NIM_ADD, record));
    HWND icon = NewIcon();
    if (icon == nullptr) GTEST_SKIP() << "no notification area docks Wine's icons here";

    // A click of each button over the icon, as the joystick makes one, once
    // the notification area has taken the icon in, and the pointer has
    // settled over it.
    ::POINT middle{};
    ASSERT_TRUE(WaitUntil([&] {
        RECT place;
        GetWindowRect(icon, &place);
        middle = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
        return WindowFromPoint(middle) == icon;
    })) << "the icon is not where it says it is";
    platform->SetCursorPos(middle.x, middle.y);
    int still = 0;  // reads in a row with the pointer over the icon
    ASSERT_TRUE(WaitUntil([&] {
        POINT at;
        still = platform->GetCursorPos(at) && at.x == middle.x && at.y == middle.y ? still + 1 : 0;
        return still >= 10;
    })) << "the pointer did not stay over the icon";
    const float twips = static_cast<float>(platform->TwipsPerPixelX());
    struct Case {
        uint32_t down, up;
        int32_t downMessage, upMessage;
    } cases[] = {
        {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, WM_LBUTTONDOWN, WM_LBUTTONUP},
        {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, WM_RBUTTONDOWN, WM_RBUTTONUP},
    };
    for (const Case& c : cases) {
        xs.clear();
        platform->mouse_event(c.down, 0, 0, 0, 0);
        platform->mouse_event(c.up, 0, 0, 0, 0);
        const float down = static_cast<float>(c.downMessage) * twips;
        const float up = static_cast<float>(c.upMessage) * twips;
        EXPECT_TRUE(WaitUntil([&] { return std::count(xs.begin(), xs.end(), up) == 1; }))
            << "no release " << c.upMessage << " reached the window";
        EXPECT_EQ(std::count(xs.begin(), xs.end(), down), 1) << c.downMessage;
        // Moves over the icon come as WM_MOUSEMOVE; nothing else does.
        for (float x : xs)
            EXPECT_TRUE(x == down || x == up || x == static_cast<float>(WM_MOUSEMOVE) * twips) << x;
    }

    ASSERT_TRUE(platform->Shell_NotifyIconA(NIM_DELETE, record));
    EXPECT_TRUE(WaitUntil([&] { return DockedIcons().count(icon) == 0; }));
}

TEST_F(TrayTest, ShellStartingAgainGetsTheIconBack) {
    ASSERT_TRUE(platform->Shell_NotifyIconA(NIM_ADD, record));
    HWND icon = NewIcon();
    if (icon == nullptr) GTEST_SKIP() << "no notification area docks Wine's icons here";

    // The shell forgets the icon, as a shell that ends does, then says it
    // has started again.
    HWND hidden = platform->Loop().Window().Handle();
    NOTIFYICONDATAW shellRecord{};
    shellRecord.cbSize = sizeof shellRecord;
    shellRecord.hWnd = hidden;
    // Only the platform knows which number the shell has for the icon; the
    // first icon of a platform is number 1.
    shellRecord.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &shellRecord));
    ASSERT_TRUE(WaitUntil([&] { return DockedIcons().count(icon) == 0; }));
    SendMessageW(hidden, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);

    HWND back = NewIcon();
    ASSERT_NE(back, nullptr) << "the icon did not come back";
    ASSERT_TRUE(platform->Shell_NotifyIconA(NIM_DELETE, record));
    EXPECT_TRUE(WaitUntil([&] { return DockedIcons().count(back) == 0; }));
}

}  // namespace
}  // namespace gimbalo
