// The options dialog and the about box of the running program on the
// Windows desktop: reached by the keyboard, named for screen readers, the
// credits scrolling, and everything whole at the screen's density (the
// build runs these at 96, 144 and 192 DPI and keeps the screenshots).
#include <string>
#include <vector>

#include "core/maker.h"
#include "options/frm_opzioni.h"
#include "platform/windows/ui_thread_loop.h"
#include "platform/windows/win32_controls.h"
#include "platform/windows/win32_dpi.h"
#include "shell/frm_about.h"
#include "tests/windows/forms/forms_test_support.h"

namespace gimbalo {
namespace {

using testing::PlaceInParent;
using testing::PressKey;
using testing::PumpDialog;
using testing::TextOf;

class ProgramForms : public testing::ProgramOnWindows {
protected:
    // The form's window, brought to the front with its messages handled.
    HWND Activate(const Form& form) {
        HWND window = WindowOf(form);
        EXPECT_NE(window, nullptr) << form.Name();
        SetForegroundWindow(window);
        PumpDialog(window);
        return window;
    }
};

TEST_F(ProgramForms, TheOptionsDialogIsWalkedByTheKeyboard) {
    ASSERT_TRUE(program->RunMenuCommand("mnuDef"));
    frmOpzioni& dialog = *program->OptionsDialog();
    HWND window = Activate(dialog);
    EXPECT_EQ(TextOf(window), "Gimbalo options - " + std::string(testing::kPadName));

    // Tab walks the controls in layout order from the first list; Apply,
    // disabled, is left out.
    ASSERT_TRUE(dialog.leftButtonList.HasFocus());
    std::vector<std::string> walked;
    for (int i = 0; i < 9; ++i) {
        PressKey(window, VK_TAB);
        for (Control* control : dialog.Controls())
            if (control->HasFocus()) walked.push_back(control->Name());
    }
    const std::vector<std::string> expected = {"Combo2", "Combo3",   "Combo4",   "Combo5", "Check2",
                                               "Check1", "Command1", "Command2", "Combo1"};
    EXPECT_EQ(walked, expected);

    // The arrow key picks the next button; Apply, pressed by Enter, saves and
    // hands the focus on as it goes disabled.
    PressKey(window, VK_DOWN);
    EXPECT_EQ(dialog.leftButtonList.ListIndex(), 1);
    EXPECT_EQ(dialog.rightButtonList.Text(), "");  // the exclusion rule
    ASSERT_TRUE(IsWindowEnabled(WindowOf(dialog.applyButton)));
    SetFocus(WindowOf(dialog.applyButton));
    PressKey(window, VK_RETURN);
    EXPECT_EQ(program->settings.LeftButton, 2);
    EXPECT_EQ(program->settings.RightButton, 0);
    EXPECT_FALSE(IsWindowEnabled(WindowOf(dialog.applyButton)));
    EXPECT_EQ(GetFocus(), WindowOf(dialog.cancelButton));
    EXPECT_EQ(testing::ReadWideFile(SettingsFile()).substr(0, 6), "2\r\n0\r\n");
    // Alt and a caption's marked letter press its button: Cancel hides.
    PressKey(window, 'C', true);
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(ProgramForms, TheAboutBoxScrollsItsCreditsAndIsUsedByTheKeyboard) {
    ASSERT_TRUE(program->RunMenuCommand("mnuAbout"));
    frmAbout& box = *program->AboutBox();
    HWND window = Activate(box);
    EXPECT_EQ(TextOf(window), "About Gimbalo");
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(TextOf(WindowOf(box.versionLabel)), "Rel. 1.0.0");
    HWND panel = WindowOf(box.creditsPanel);
    EXPECT_EQ(GetParent(panel), WindowOf(box.creditsView));
    // The box itself has the focus: it is read, not edited.
    EXPECT_EQ(GetFocus(), window);

    // The panel starts low in the viewport and rises, tick by tick, as the
    // model's Top says. The credits hold still under the pointer, so it is
    // put out of the box's way first.
    RECT boxPlace{};
    GetWindowRect(window, &boxPlace);
    platform->SetCursorPos(boxPlace.right + 20, boxPlace.bottom + 20);
    EXPECT_TRUE(testing::WaitUntil([&] { return !box.creditsView.PointerOver(); }));
    const DeviceScale twips(Unit::Twips, WindowDpi(window));
    // Ticks run in every message loop, this test's waits too: the panel may
    // have begun to rise already.
    EXPECT_LE(box.creditsPanel.GetBounds().top, kPanelStartTop);
    EXPECT_EQ(PlaceInParent(panel).top, twips.ToPixels(box.creditsPanel.GetBounds().top));
    platform->onDispatch = [&](Timer& timer) {
        if (&timer == &box.animationTimer && box.creditsPanel.GetBounds().top <= 0)
            platform->Loop().Quit();
    };
    platform->Loop().Run();
    platform->onDispatch = nullptr;
    EXPECT_LE(box.creditsPanel.GetBounds().top, 0);
    EXPECT_EQ(PlaceInParent(panel).top, twips.ToPixels(box.creditsPanel.GetBounds().top));

    // Tab reaches the link, and the model hears it has the focus; Enter
    // opens the home page with the box staying open.
    PressKey(window, VK_TAB);
    EXPECT_EQ(GetFocus(), WindowOf(box.homePageLink));
    EXPECT_TRUE(box.homePageLink.HasFocus());
    PressKey(window, VK_RETURN);
    const std::string home = "explorer " + std::string(kHomePage);
    EXPECT_EQ(platform->started, std::vector<std::string>{home});

    // Tab goes back to the box, which lets the credits go on.
    PressKey(window, VK_TAB);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_FALSE(box.homePageLink.HasFocus());

    // Clicks of the pointer itself, with the link scrolled into view: the
    // link keeps the box open, the title closes it.
    const int resting = box.creditsView.GetBounds().height - box.creditsPanel.GetBounds().height;
    for (int tick = 0; tick < 1000 && box.creditsPanel.GetBounds().top > resting; ++tick)
        box.animationTimer.Fire();
    ASSERT_LE(box.creditsPanel.GetBounds().top, resting);
    const auto clickOn = [&](const Control& control) {
        RECT place{};
        GetWindowRect(WindowOf(control), &place);
        platform->SetCursorPos(place.left + 4, place.top + 4);
        platform->mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    };
    clickOn(box.homePageLink);
    EXPECT_TRUE(testing::WaitUntil([&] { return platform->started.size() == 2; }));
    ASSERT_EQ(program->AboutBox(), &box);
    clickOn(box.titleLabel);
    EXPECT_TRUE(testing::WaitUntil([&] { return program->AboutBox() == nullptr; }));
    EXPECT_FALSE(IsWindow(window));
}

// Every control inside its container's client area, and every text inside
// its control, at the screen's density.
void ExpectWhole(const Form& form, HWND window, const std::function<HWND(const Control&)>& of) {
    // The scrolling panel is clipped by its viewport on purpose, and the
    // rule runs across the whole window.
    const auto exempt = [](const Control* control) {
        return control != nullptr && (control->Name() == "Picture2" || control->Name() == "Frame1");
    };
    for (Control* control : form.Controls()) {
        HWND native = of(*control);
        if (native == nullptr || exempt(control) || exempt(control->Container())) continue;
        SCOPED_TRACE(control->Name());
        const RECT place = PlaceInParent(native);
        const SIZE room = testing::ClientSize(GetParent(native));
        EXPECT_GE(place.left, 0);
        EXPECT_LE(place.right, room.cx);
        EXPECT_GE(place.top, 0);
        EXPECT_LE(place.bottom, room.cy);
        if (control->Kind() != ControlKind::Label && control->Kind() != ControlKind::CheckBox)
            continue;
        // The text broken into lines as wide as the control (less a check
        // box's box) is as high as the control at most.
        const int box = control->Kind() == ControlKind::CheckBox
                            ? SystemMetricFor(SM_CXMENUCHECK, WindowDpi(window)) + 4
                            : 0;
        HDC dc = GetDC(native);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(native, WM_GETFONT, 0, 0)));
        const std::wstring text = ShownText(control->Caption());
        RECT measured{0, 0, place.right - place.left - box, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(native, dc);
        EXPECT_LE(measured.right, place.right - place.left - box);
        EXPECT_LE(measured.bottom, place.bottom - place.top + 2);
    }
}

TEST_F(ProgramForms, AtScreenDensityTheDialogsAreWholeAndAreCapturedInEveryLanguage) {
    if (GetEnvironmentVariableW(L"GIMBALO_DENSITY_RUN", nullptr, 0) == 0)
        GTEST_SKIP() << "run by the density runs, in a Wine desktop that draws the frames";
    for (const char* language :
         {"English.lng", "Italiano.lng", "Deutsch.lng", "Francais.lng", "Espanol.lng"}) {
        SCOPED_TRACE(language);
        StartIn(language);
        ASSERT_TRUE(program->RunMenuCommand("mnuDef"));
        ASSERT_TRUE(program->RunMenuCommand("mnuAbout"));
        const auto of = [this](const Control& control) { return WindowOf(control); };
        // The credits scrolled into view, and the pointer out of the pictures.
        frmAbout& box = *program->AboutBox();
        while (box.creditsPanel.GetBounds().top > 0) box.animationTimer.Fire();
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        for (Form* form : {static_cast<Form*>(program->OptionsDialog()),
                           static_cast<Form*>(program->AboutBox())}) {
            SCOPED_TRACE(form->Name());
            HWND window = Activate(*form);
            HDC screen = GetDC(nullptr);
            const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
            ReleaseDC(nullptr, screen);
            EXPECT_EQ(WindowDpi(window), dpi);
            ExpectWhole(*form, window, of);
            const std::string name = std::string(language).substr(0, 2);
            EXPECT_TRUE(testing::SaveScreenshot(
                window, form->Name() + "_" + name + "_" + std::to_string(dpi) + "dpi"));
        }
    }
}

}  // namespace
}  // namespace gimbalo
