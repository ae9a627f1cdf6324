// Both forms worked from the keyboard alone, with real key presses sent to
// the X server by xdotool, as a user without a mouse reaches them.
#include <QApplication>
#include <QCheckBox>
#include <QProcess>
#include <string>
#include <vector>

#include "core/maker.h"
#include "options/frm_opzioni.h"
#include "program_fixture.h"
#include "shell/frm_about.h"

namespace gimbalo {
namespace {

using testing::TopLevel;
using testing::WaitUntil;

class KeyboardWalk : public testing::ProgramOnDisplay {
protected:
    void SetUp() override {
        ProgramOnDisplay::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        if (Xdotool({QStringLiteral("version")}) != 0) GTEST_SKIP() << "xdotool is not installed";
        platform->noteStartedPrograms = true;
        // Away from the windows: the credits hold still under the pointer.
        platform->SetCursorPos(0, 0);
    }

    // Presses `keys` (xdotool's names) on the keyboard of the X server; the
    // focused window gets them.
    static void Press(const char* keys) {
        ASSERT_EQ(Xdotool({QStringLiteral("key"), QString::fromLatin1(keys)}), 0) << keys;
    }
    // Its exit status; -1 when it did not run.
    static int Xdotool(const QStringList& arguments) {
        QProcess xdotool;
        xdotool.setStandardOutputFile(QProcess::nullDevice());
        xdotool.start(QStringLiteral("xdotool"), arguments);
        if (!xdotool.waitForFinished(10000) || xdotool.exitStatus() != QProcess::NormalExit)
            return -1;
        return xdotool.exitCode();
    }

    // The control of `window` that has the keyboard focus: the name of the
    // focused widget or of the control it belongs to (a list's text part).
    static std::string Focused(QWidget* window) {
        for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
            if (w == window) return "(form)";
            if (!w->objectName().isEmpty()) return w->objectName().toStdString();
        }
        return "(none)";
    }

    QWidget* OpenActive(const char* command, const char* form) {
        EXPECT_TRUE(program->RunMenuCommand(command));
        QWidget* window = TopLevel(form);
        EXPECT_NE(window, nullptr);
        if (window == nullptr) return nullptr;
        EXPECT_TRUE(WaitUntil([window] { return window->isActiveWindow(); })) << form;
        return window;
    }
};

TEST_F(KeyboardWalk, TabWalksTheOptionsDialogInLayoutOrderAndSpaceTicks) {
    QWidget* dialog = OpenActive("mnuDef", "frmOpzioni");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Focused(dialog) == "Combo1"; })) << Focused(dialog);

    // Apply is disabled after loading, so Tab passes it by.
    const std::vector<std::string> walk = {"Combo2", "Combo3",   "Combo4",   "Combo5", "Check2",
                                           "Check1", "Command1", "Command2", "Combo1"};
    for (const std::string& next : walk) {
        Press("Tab");
        EXPECT_TRUE(WaitUntil([&] { return Focused(dialog) == next; }))
            << "expected " << next << ", focus on " << Focused(dialog);
    }
    Press("shift+Tab");
    EXPECT_TRUE(WaitUntil([&] { return Focused(dialog) == "Command2"; })) << Focused(dialog);

    // Space ticks the check box that has the focus; Apply then joins the walk.
    for (int k = 0; k < 2; ++k) Press("shift+Tab");
    ASSERT_TRUE(WaitUntil([&] { return Focused(dialog) == "Check1"; })) << Focused(dialog);
    Press("space");
    frmOpzioni& options = *program->OptionsDialog();
    EXPECT_TRUE(WaitUntil([&] { return options.startAtLogin.Value() == 1; }));
    EXPECT_TRUE(options.applyButton.Enabled());
    for (const char* next : {"Command1", "Command3"}) {
        Press("Tab");
        EXPECT_TRUE(WaitUntil([&] { return Focused(dialog) == next; })) << Focused(dialog);
    }
    EXPECT_TRUE(testing::SaveScreenshot(*dialog, "options_keyboard_focus"));

    // The dialog has no cancel button: Escape leaves it open and unchanged.
    Press("Escape");
    Press("Tab");
    EXPECT_TRUE(WaitUntil([&] { return Focused(dialog) == "Command2"; })) << Focused(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(options.startAtLogin.Value(), 1);
}

TEST_F(KeyboardWalk, TheAboutBoxTakesTheFocusTabReachesTheLinkAndEscapeClosesIt) {
    QWidget* box = OpenActive("mnuAbout", "frmAbout");
    ASSERT_NE(box, nullptr);
    frmAbout& about = *program->AboutBox();
    EXPECT_TRUE(WaitUntil([&] { return Focused(box) == "(form)"; })) << Focused(box);
    // With the focus on the box the credits scroll.
    const int start = about.creditsPanel.GetBounds().top;
    EXPECT_TRUE(WaitUntil([&] { return about.creditsPanel.GetBounds().top < start; }));

    Press("Tab");
    ASSERT_TRUE(WaitUntil([&] { return Focused(box) == "lblHomePage"; })) << Focused(box);
    // The model hears it, which holds the credits still.
    EXPECT_TRUE(about.homePageLink.HasFocus());
    EXPECT_TRUE(testing::SaveScreenshot(*box, "about_keyboard_focus"));
    EXPECT_TRUE(testing::SaveScreenshot(*testing::Find("frmAbout", "Picture2"),
                                        "about_keyboard_focus_panel"));

    // Enter opens the home page, as a click does; the box stays.
    const std::vector<std::string> home(1, "explorer " + std::string(kHomePage));
    Press("Return");
    EXPECT_TRUE(WaitUntil([&] { return platform->startedPrograms == home; }));
    EXPECT_EQ(program->AboutBox(), &about);

    // Tab leads back to the box, which lets the credits go on.
    Press("Tab");
    EXPECT_TRUE(WaitUntil([&] { return Focused(box) == "(form)"; })) << Focused(box);
    EXPECT_FALSE(about.homePageLink.HasFocus());

    QPointer<QWidget> gone = box;
    Press("Escape");
    EXPECT_TRUE(WaitUntil([&] { return program->AboutBox() == nullptr; }));
    testing::FlushDeletes();
    EXPECT_TRUE(gone.isNull());
}

}  // namespace
}  // namespace gimbalo
