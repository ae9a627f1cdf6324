// The running program's notification-area icon on a real tray host: the
// program's own icon and tip, its menu opened by real clicks through the
// program's one tray callback, and the icon gone with the Exit command.
#include <QAction>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QTimer>

#include "program_fixture.h"
// Last: it brings in Xlib, whose macros clash with Qt's names.
#include "shell_tray_host.h"

namespace gimbalo {
namespace {

using testing::DockState;
using testing::IsDocked;
using testing::TrayHost;
using testing::TrayIconWidget;
using testing::WaitUntil;

// The share of the picture's opaque pixels that `shown` shows in about the
// same colour, once the picture is scaled to its size.
double Likeness(const QImage& shown, const QString& pictureFile) {
    const QImage picture =
        QIcon(pictureFile).pixmap(shown.size()).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage seen = shown.convertToFormat(QImage::Format_ARGB32);
    if (picture.size() != seen.size()) return 0.0;
    int opaque = 0;
    int alike = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor want = picture.pixelColor(x, y);
            if (want.alpha() < 255) continue;
            ++opaque;
            const QColor got = seen.pixelColor(x, y);
            if (std::abs(want.red() - got.red()) <= 40 &&
                std::abs(want.green() - got.green()) <= 40 &&
                std::abs(want.blue() - got.blue()) <= 40)
                ++alike;
        }
    }
    return opaque > 0 ? static_cast<double>(alike) / opaque : 0.0;
}

class ProgramTray : public testing::ProgramOnDisplay {
protected:
    void SetUp() override {
        if (testing::HaveDisplay() && !TrayHost::Installed()) GTEST_SKIP() << "no trayer";
        testing::ProgramOnDisplay::SetUp();
    }

    // Presses `press` over the docked icon and, once the menu is up,
    // releases it with `release` and runs `act` on the menu. Whether the menu
    // came up; one still open at the deadline is closed, so a fault fails the
    // test instead of hanging it.
    bool ClickIcon(uint32_t press, uint32_t release, const std::function<void(QMenu&)>& act) {
        const testing::Docked docked = DockState(TrayIconWidget());
        if (!docked.viewable) return false;
        bool pointed = false;
        const bool shown = testing::WithNextPopup(
            [&] {
                pointed = testing::PointAtIcon(*platform);
                if (!pointed) return;
                platform->mouse_event(press, 0, 0, 0, 0);
            },
            [&](QMenu& menu) {
                platform->mouse_event(release, 0, 0, 0, 0);
                act(menu);
            });
        return pointed && shown;
    }

    void ChooseItem(QMenu& menu, const char* name) {
        for (QAction* action : menu.actions()) {
            if (action->objectName() != QLatin1String(name)) continue;
            const QPoint at = menu.mapToGlobal(menu.actionGeometry(action).center());
            platform->SetCursorPos(at.x(), at.y());
            platform->mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
            return;
        }
        menu.close();
    }

    TrayHost host;
};

TEST_F(ProgramTray, TheIconShowsTheProgramsPictureAndTipAndBothButtonsOpenTheMenu) {
    // The program added its icon at start-up, before any notification area
    // existed: it appears once the panel starts.
    ASSERT_TRUE(host.Start());
    ASSERT_TRUE(WaitUntil(IsDocked)) << "the program's icon did not dock";
    QWidget* icon = TrayIconWidget();
    EXPECT_EQ(icon->toolTip(), QStringLiteral("Animated TrayIcon"));
    // The program's own picture, not a stand-in.
    const QImage shown = icon->grab().toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_GT(Likeness(shown, QString::fromStdString(platform->ProgramFolder()) +
                                  QStringLiteral("/pictures/gimbalo.png")),
              0.9);

    for (auto [press, release] : {std::pair{MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
                                  std::pair{MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}}) {
        QStringList items;
        EXPECT_TRUE(ClickIcon(press, release,
                              [&](QMenu& menu) {
                                  for (const QAction* action : menu.actions())
                                      items << action->objectName();
                                  menu.close();
                              }))
            << "buttons 0x" << std::hex << press;
        EXPECT_EQ(items.size(), 14);
        EXPECT_TRUE(items.contains(QStringLiteral("mnuExit")));
        EXPECT_EQ(program->mainWindow.trayMessage,
                  press == MOUSEEVENTF_LEFTDOWN ? WM_LBUTTONUP : WM_RBUTTONUP);
    }
    EXPECT_FALSE(platform->ProgramEnded());
}

TEST_F(ProgramTray, ExitFromTheIconsMenuTakesTheIconAway) {
    ASSERT_TRUE(host.Start());
    ASSERT_TRUE(WaitUntil(IsDocked));
    EXPECT_TRUE(ClickIcon(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP,
                          [&](QMenu& menu) { ChooseItem(menu, "mnuExit"); }));
    EXPECT_TRUE(platform->ProgramEnded());
    EXPECT_TRUE(TrayIconWidget() == nullptr || !TrayIconWidget()->isVisible());
}

}  // namespace
}  // namespace gimbalo
