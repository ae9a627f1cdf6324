// The notification-area icon on a real tray host: it docks, real clicks reach
// the window's mouse-move handler as mouse messages, and it appears when the
// tray host starts late or restarts.
#include <QEvent>
#include <vector>

#include "linux_test_support.h"
#include "platform/forms.h"
// Last: it brings in Xlib, whose macros clash with Qt's names.
#include "shell_tray_host.h"

namespace gimbalo {
namespace {

using testing::Docked;
using testing::DockState;
using testing::IsDocked;
using testing::TrayHost;
using testing::TrayIconWidget;
using testing::WaitUntil;

// A window that records the mouse messages its tray callback decodes.
struct TrayOwner : Form {
    explicit TrayOwner(Platform& platform) : Form("TrayOwner") {
        MouseMove = [this, &platform](int, int, float x, float) {
            messages.push_back(static_cast<int32_t>(x / platform.TwipsPerPixelX()));
        };
    }
    std::vector<int32_t> messages;
};

NOTIFYICONDATA Record(Form& window, uint32_t id, int32_t icon, const std::string& tip) {
    NOTIFYICONDATA data;
    data.cbSize = 88;
    data.hWnd = &window;
    data.uID = id;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_MOUSEMOVE;
    data.hIcon = icon;
    data.szTip = tip;
    return data;
}

TEST(TrayIcon, DocksInTheTrayHostAndClicksReachTheWindowAsMouseMessages) {
    TRAY_HOST_OR_SKIP();
    GIMBALO_PLATFORM_OR_SKIP(platform);
    TrayHost host;
    ASSERT_TRUE(host.Start()) << "no notification area appeared";
    TrayOwner owner(*platform);
    const int32_t picture = platform->LoadPicture("gimbalo_32.png");
    ASSERT_GT(picture, 0) << "the shipped picture did not load";
    ASSERT_TRUE(platform->Shell_NotifyIconA(NIM_ADD, Record(owner, 7, picture, "Tip")));
    ASSERT_TRUE(WaitUntil(IsDocked)) << "the icon did not dock";
    EXPECT_EQ(TrayIconWidget()->toolTip(), QStringLiteral("Tip"));

    // One case after another with a different button, so no click is taken
    // for the second half of a double click.
    struct Case {
        const char* name;
        std::vector<uint32_t> buttons;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        {"left", {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}, {WM_LBUTTONUP}},
        {"right", {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}, {WM_RBUTTONUP}},
        {"middle", {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP}, {520}},
        {"double",
         {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
         {WM_LBUTTONUP, WM_LBUTTONDBLCLK}},
    };
    ASSERT_TRUE(testing::PointAtIcon(*platform)) << "the icon did not see the pointer come";
    for (const Case& c : cases) {
        owner.messages.clear();
        for (uint32_t button : c.buttons) platform->mouse_event(button, 0, 0, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return owner.messages.size() >= c.expected.size(); }))
            << c.name;
        EXPECT_EQ(owner.messages, c.expected) << c.name;
        // The program shows its own menu: Qt opens none of its own.
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << c.name;
    }
    EXPECT_TRUE(platform->Shell_NotifyIconA(NIM_DELETE, Record(owner, 7, picture, "Tip")));
    EXPECT_TRUE(
        WaitUntil([] { return TrayIconWidget() == nullptr || !TrayIconWidget()->isVisible(); }));
}

TEST(TrayIcon, AppearsWhenTheTrayHostStartsLateAndAgainAfterItRestarts) {
    TRAY_HOST_OR_SKIP();
    GIMBALO_PLATFORM_OR_SKIP(platform);
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "another tray host is running";
    TrayOwner owner(*platform);
    ASSERT_TRUE(platform->Shell_NotifyIconA(NIM_ADD, Record(owner, 1, 0, "Late")));
    EXPECT_FALSE(IsDocked());
    {
        TrayHost late;
        ASSERT_TRUE(late.Start());
        EXPECT_TRUE(WaitUntil(IsDocked)) << "the icon did not appear in a tray host started late";
    }
    EXPECT_TRUE(WaitUntil([] { return !QSystemTrayIcon::isSystemTrayAvailable(); }));
    TrayHost restarted;
    ASSERT_TRUE(restarted.Start());
    EXPECT_TRUE(WaitUntil(IsDocked)) << "the icon did not come back in a restarted tray host";

    // The restored icon still reaches its window.
    ASSERT_TRUE(testing::PointAtIcon(*platform));
    platform->mouse_event(MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !owner.messages.empty(); }));
    EXPECT_EQ(owner.messages, std::vector<int32_t>{WM_RBUTTONUP});
}

TEST(TrayIcon, ShowsTheTipItIsGiven) {
    TRAY_HOST_OR_SKIP();
    GIMBALO_PLATFORM_OR_SKIP(platform);
    TrayHost host;
    ASSERT_TRUE(host.Start());
    TrayOwner owner(*platform);
    const std::string longest = "Gimbalo è in ascolto del joystick: tasto sinistro o destro qui!";
    ASSERT_EQ(QString::fromStdString(longest).size(), 63);
    struct Case {
        std::string tip;
        QString expected;
    };
    const Case cases[] = {
        {"Animated TrayIcon", "Animated TrayIcon"},
        {"", ""},
        {longest, QString::fromStdString(longest)},
        {std::string("Before\0after", 12), "Before"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(platform->Shell_NotifyIconA(NIM_ADD, Record(owner, 5, 0, c.tip)));
        EXPECT_TRUE(WaitUntil(IsDocked)) << c.tip;
        ASSERT_NE(TrayIconWidget(), nullptr);
        EXPECT_EQ(TrayIconWidget()->toolTip(), c.expected);
        ASSERT_TRUE(platform->Shell_NotifyIconA(NIM_DELETE, Record(owner, 5, 0, c.tip)));
        EXPECT_TRUE(WaitUntil([] { return TrayIconWidget() == nullptr; })) << c.tip;
    }
}

// Counts the mouse-button releases Qt hands to any of its widgets.
class ReleaseCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) ++releases;
        return false;
    }
    int releases = 0;
};

TEST(TrayIcon, AMenuOpenedByAPressOnTheIconStaysOpenWhenTheButtonComesUp) {
    // The desktop reports the press; the program opens its menu at once, so
    // the release that follows lands on the open menu and must neither close
    // it nor choose an item.
    TRAY_HOST_OR_SKIP();
    GIMBALO_PLATFORM_OR_SKIP(platform);
    TrayHost host;
    ASSERT_TRUE(host.Start());
    struct MenuOwner : Form {
        MenuOwner() : Form("MenuOwner") {}
        Menu PopUp{*this, "PopUp", "Menu"};
        MenuItem mnuFirst{PopUp, "mnuFirst", "&First"};
        MenuItem mnuSecond{PopUp, "mnuSecond", "&Second"};
    } owner;
    int chosen = 0;
    owner.mnuFirst.Click = [&] { ++chosen; };
    owner.mnuSecond.Click = [&] { ++chosen; };
    owner.MouseMove = [&](int, int, float x, float) {
        const float message = x / static_cast<float>(platform->TwipsPerPixelX());
        if (message == WM_LBUTTONUP || message == WM_RBUTTONUP) platform->ShowPopupMenu(owner);
    };
    ASSERT_TRUE(platform->Shell_NotifyIconA(NIM_ADD, Record(owner, 3, 0, "Menu")));
    ASSERT_TRUE(WaitUntil(IsDocked));

    struct Case {
        const char* name;
        uint32_t press, release;
    };
    const Case cases[] = {
        {"left", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
        {"right", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
    };
    for (const Case& c : cases) {
        ReleaseCounter counter;
        qApp->installEventFilter(&counter);
        bool opened = false;
        bool openAfterRelease = false;
        bool released = false;
        const auto deadline = std::chrono::steady_clock::now() + testing::kDeadline;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            QWidget* popup = QApplication::activePopupWidget();
            if (!opened && popup != nullptr && popup->isVisible()) {
                opened = true;
                platform->mouse_event(c.release, 0, 0, 0, 0);
                released = true;
            } else if (released && counter.releases > 0) {
                openAfterRelease = popup != nullptr && popup->isVisible();
                released = false;
                if (popup != nullptr) popup->close();
            } else if (std::chrono::steady_clock::now() > deadline && popup != nullptr) {
                popup->close();
            }
        });
        driver.start(5);
        ASSERT_TRUE(testing::PointAtIcon(*platform)) << c.name;
        platform->mouse_event(c.press, 0, 0, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return opened && !released; })) << c.name;
        driver.stop();
        qApp->removeEventFilter(&counter);
        EXPECT_TRUE(opened) << c.name;
        EXPECT_TRUE(openAfterRelease) << c.name;
        EXPECT_EQ(chosen, 0) << c.name;
    }
}

}  // namespace
}  // namespace gimbalo
