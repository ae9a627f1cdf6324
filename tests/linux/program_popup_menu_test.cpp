// The popup menu of the running program, on the X display: opened by the
// tray callback as a QMenu built from the menu's model, driven with XTest
// keys and clicks as a user drives it, although no window of the program is
// active.
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>
#include <vector>

#include "program_fixture.h"

// After Qt: Xlib's macros would clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace gimbalo {
namespace {

using testing::WaitUntil;

// Where the menu opens: the pointer is put there first.
const QPoint kMenuPlace{300, 200};
// A point on the desktop well away from the menu.
const QPoint kElsewhere{1100, 700};

void PressKey(KeySym key) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11->display();
    const KeyCode code = XKeysymToKeycode(display, key);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

class PopupMenuOnDisplay : public testing::ProgramOnDisplay {
protected:
    void MovePointer(QPoint to) { platform->SetCursorPos(to.x(), to.y()); }
    void ClickAt(QPoint at) {
        MovePointer(at);
        platform->mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }

    // Releases the right button over the tray icon, as the tray reports it,
    // and runs `act` once on the menu while it is open. Whether the menu
    // came up; a menu that `act` fails to close is closed at the deadline,
    // so a fault fails the test instead of hanging it.
    bool WithMenu(const std::function<void(QMenu&)>& act) {
        MovePointer(kMenuPlace);
        // The menu opens where the pointer is: once Qt sees it there.
        if (!WaitUntil([] { return QCursor::pos() == kMenuPlace; })) return false;
        return testing::WithNextPopup(
            [this] {
                const int twipsPerPixel = platform->TwipsPerPixelX();
                program->mainWindow.MouseMove(0, 0,
                                              static_cast<float>(WM_RBUTTONUP * twipsPerPixel), 0);
            },
            act);
    }
};

TEST_F(PopupMenuOnDisplay, TheMenuShowsTheModelsItemsAndTakesKeysWithNoActiveWindow) {
    struct Shown {
        std::string name;
        std::string text;
        bool separator;
        bool picture;
    };
    std::vector<Shown> items;
    bool grabbed = false;
    ASSERT_TRUE(WithMenu([&](QMenu& menu) {
        EXPECT_EQ(menu.objectName(), "PopUp");
        for (const QAction* action : menu.actions())
            items.push_back({action->objectName().toStdString(), action->text().toStdString(),
                             action->isSeparator(), !action->icon().isNull()});
        grabbed = testing::SaveScreenshot(menu, "popup_menu");
        // The keys reach the menu through its grab, not through the window
        // under the pointer.
        MovePointer(kElsewhere);
        PressKey(XK_Escape);
    }));
    EXPECT_TRUE(grabbed);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(program->OptionsDialog(), nullptr);
    EXPECT_EQ(QApplication::activeWindow(), nullptr);

    const std::vector<std::string> names = {
        "mnuDef", "R0",           "mnuLingua",   "mnuAggLingua",
        "R1",     "mnuDonazione", "R4",          "mnuAggiornamenti",
        "R3",     "mnuLicenza",   "mnuVersioni", "mnuAbout",
        "R2",     "mnuExit"};
    ASSERT_EQ(items.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(items[i].name, names[i]);
        EXPECT_EQ(items[i].separator, names[i][0] == 'R');
    }
    EXPECT_EQ(items[0].text, "&Options...");  // English, from the language file
    EXPECT_EQ(items[13].text, "E&xit");
    for (std::size_t withPicture : {0u, 5u, 7u, 9u, 11u, 13u})
        EXPECT_TRUE(items[withPicture].picture) << names[withPicture];
    EXPECT_FALSE(items[2].picture);
}

TEST_F(PopupMenuOnDisplay, AClickElsewhereClosesTheMenuAndChoosesNothing) {
    ASSERT_TRUE(WithMenu([&](QMenu&) { ClickAt(kElsewhere); }));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(program->OptionsDialog(), nullptr);
    EXPECT_FALSE(platform->ProgramEnded());
}

TEST_F(PopupMenuOnDisplay, ClickingOptionsOpensTheOptionsDialog) {
    ASSERT_TRUE(WithMenu([&](QMenu& menu) {
        for (QAction* action : menu.actions())
            if (action->objectName() == "mnuDef")
                ClickAt(menu.mapToGlobal(menu.actionGeometry(action).center()));
    }));
    ASSERT_NE(program->OptionsDialog(), nullptr);
    QWidget* dialog = testing::TopLevel("frmOpzioni");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(WaitUntil([dialog] { return dialog->isVisible(); }));
}

}  // namespace
}  // namespace gimbalo
