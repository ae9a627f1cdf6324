// The about box: its texts, its scrolling credits and which clicks close it.
#include <gtest/gtest.h>

#include "core/maker.h"
#include "tests/forms_fixture.h"

namespace gimbalo {
namespace {

using testing::ProgramTest;

class AboutBoxTest : public ProgramTest {
protected:
    frmAbout& Open() {
        EXPECT_TRUE(program.RunMenuCommand("mnuAbout"));
        return *program.AboutBox();
    }
};

TEST_F(AboutBoxTest, OpensWithTheTextsOfTheLanguageAndTheVersion) {
    StartUsual();
    frmAbout& box = Open();
    EXPECT_TRUE(box.Visible());
    EXPECT_TRUE(sim.FormLoaded(box));
    EXPECT_EQ(box.Caption(), "E28");
    EXPECT_EQ(box.versionLabel.Caption(), "Rel. 1.0.0");
    EXPECT_EQ(box.descriptionLabel.Caption(), "E14");
    EXPECT_EQ(box.copyrightLabel.Caption(), std::string(kCreditLine) + " - E15");
    EXPECT_EQ(box.titleLabel.Caption(), "Gimbalo Free");
    EXPECT_EQ(box.homePageLink.Caption(), kHomePage);
    EXPECT_EQ(box.homePageCaption.Caption(), "Home Page:");
    EXPECT_EQ(box.animationTimer.Interval(), 10);
    EXPECT_EQ(box.creditsPanel.GetBounds().top, 2200);
}

TEST_F(AboutBoxTest, ReleaseCaptionCarriesAllThreeNumbers) {
    EXPECT_EQ(ReleaseCaption({1, 1, 3}), "Rel. 1.1.3");
    EXPECT_EQ(ReleaseCaption({2, 10, 0}), "Rel. 2.10.0");
}

TEST_F(AboutBoxTest, OpeningTwiceKeepsOneBoxAndOneCreditSuffix) {
    StartUsual();
    frmAbout& first = Open();
    for (int k = 0; k < 50; ++k) first.animationTimer.Fire();
    const int top = first.creditsPanel.GetBounds().top;
    frmAbout& second = Open();
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second.copyrightLabel.Caption(), std::string(kCreditLine) + " - E15");
    EXPECT_EQ(second.creditsPanel.GetBounds().top, top) << "the animation goes on";
}

TEST_F(AboutBoxTest, WithoutALanguageTheTextsAreEmpty) {
    sim.AddJoystick("Pad", 4);
    program.Start();  // no settings file, and no language file to read
    frmAbout& box = Open();
    EXPECT_EQ(box.Caption(), "");
    EXPECT_EQ(box.descriptionLabel.Caption(), "");
    EXPECT_EQ(box.copyrightLabel.Caption(), std::string(kCreditLine) + " - ");
}

TEST_F(AboutBoxTest, OneAnimationCycleIs756Ticks) {
    StartUsual();
    frmAbout& box = Open();
    int moving = 0, resting = 0, maxPause = 0;
    int restStart = -1;
    for (int tick = 1; tick <= 756; ++tick) {
        const int before = box.creditsPanel.GetBounds().top;
        box.animationTimer.Fire();
        const int after = box.creditsPanel.GetBounds().top;
        maxPause = std::max<int>(maxPause, box.PauseTicks);
        if (after == before) {
            ++resting;
            if (restStart < 0) restStart = tick;
        } else if (tick < 756) {
            EXPECT_EQ(after, before - 10) << "tick " << tick;
            ++moving;
        }
        if (tick == 412) {
            EXPECT_EQ(after, -1920);
        }
        if (tick == 755) {
            EXPECT_EQ(after, -4150);
        }
    }
    EXPECT_EQ(restStart, 413);
    EXPECT_EQ(resting, 120);
    EXPECT_EQ(moving, 412 + 223);  // the last rise is the restart
    // 344 is reached inside the last tick, which then restarts the cycle.
    EXPECT_EQ(maxPause, 343);
    EXPECT_EQ(box.creditsPanel.GetBounds().top, 2200);
    EXPECT_EQ(box.PauseTicks, 0);

    // The timer drives the same cycle through the desktop's clock.
    sim.AdvanceTime(10 * 412);
    EXPECT_EQ(box.creditsPanel.GetBounds().top, -1920);
    sim.AdvanceTime(10 * 344);
    EXPECT_EQ(box.creditsPanel.GetBounds().top, 2200);
}

TEST_F(AboutBoxTest, WhichClicksCloseTheBox) {
    StartUsual();
    struct Case {
        const char* control;  // nullptr: the window's background
        bool closes;
    } cases[] = {
        {nullptr, true},           {"imgTitle", true},       {"lblTitle", true},
        {"lblVersion", true},      {"lblDescription", true}, {"lblCopyright", true},
        {"Picture1", false},       {"Picture2", false},      {"Image1", false},
        {"lblHomePageCap", false}, {"Frame1", false},        {"lblHomePage", false},
    };
    for (const Case& c : cases) {
        frmAbout& box = Open();
        const char* name = c.control ? c.control : "background";
        if (c.control) {
            Control* control = box.FindControl(c.control);
            ASSERT_NE(control, nullptr) << name;
            EXPECT_TRUE(control->UserClick()) << name;
        } else {
            box.UserClick();
        }
        EXPECT_EQ(program.AboutBox() == nullptr, c.closes) << name;
        EXPECT_EQ(sim.FormLoaded(box), !c.closes) << name;
        program.UnloadAboutBox();
    }
}

TEST_F(AboutBoxTest, TheLinkOpensTheHomePageAndLeavesTheBoxOpen) {
    StartUsual();
    frmAbout& box = Open();
    box.homePageLink.UserClick();
    ASSERT_EQ(sim.startedPrograms.size(), 1u);
    EXPECT_EQ(sim.startedPrograms[0].commandLine, std::string("explorer ") + kHomePage);
    EXPECT_EQ(sim.startedPrograms[0].showStyle, 3);
    EXPECT_EQ(program.AboutBox(), &box);
    EXPECT_EQ(box.homePageLink.Pointer(), PointerShape::Hand);
}

TEST_F(AboutBoxTest, CreditsHoldStillWhileReadOrWhileTheLinkHasTheFocus) {
    StartUsual();
    struct Case {
        const char* what;
        const char* control;
        bool pointer;  // the pointer rests on it; else it has the focus
        bool holds;
    } cases[] = {
        {"pointer on the credits", "Picture1", true, true},
        {"focus on the link", "lblHomePage", false, true},
        {"pointer on the title", "lblTitle", true, false},
    };
    constexpr int kHeld = 200;
    // Once while moving, once while resting at the bottom of the viewport.
    for (int start : {100, 450}) {
        // Where the credits are after `start` + kHeld ticks without a pause.
        frmAbout& unpaused = Open();
        for (int k = 0; k < start + kHeld; ++k) unpaused.animationTimer.Fire();
        const int expectedTop = unpaused.creditsPanel.GetBounds().top;
        const int16_t expectedPause = unpaused.PauseTicks;
        program.UnloadAboutBox();

        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " from tick " + std::to_string(start));
            frmAbout& box = Open();
            for (int k = 0; k < start; ++k) box.animationTimer.Fire();
            const int top = box.creditsPanel.GetBounds().top;
            const int16_t pause = box.PauseTicks;
            Control& control = *box.FindControl(c.control);
            c.pointer ? control.UserPointerOver(true) : control.UserFocus(true);
            for (int k = 0; k < kHeld; ++k) box.animationTimer.Fire();
            EXPECT_EQ(box.creditsPanel.GetBounds().top == top && box.PauseTicks == pause, c.holds);
            c.pointer ? control.UserPointerOver(false) : control.UserFocus(false);
            if (c.holds) {
                // They go on from where they stopped.
                for (int k = 0; k < kHeld; ++k) box.animationTimer.Fire();
                EXPECT_EQ(box.creditsPanel.GetBounds().top, expectedTop);
                EXPECT_EQ(box.PauseTicks, expectedPause);
            }
            program.UnloadAboutBox();
        }
    }
}

TEST_F(AboutBoxTest, EscapeClosesTheBox) {
    StartUsual();
    frmAbout& box = Open();
    box.UserEscape();
    EXPECT_EQ(program.AboutBox(), nullptr);
    EXPECT_FALSE(sim.FormLoaded(box));
    // The options dialog has no cancel button: Escape leaves it as it is.
    EXPECT_TRUE(program.RunMenuCommand("mnuDef"));
    program.OptionsDialog()->UserEscape();
    EXPECT_TRUE(program.OptionsDialog()->Visible());
}

TEST_F(AboutBoxTest, ReopeningAfterCloseRestartsTheCycle) {
    StartUsual();
    frmAbout& box = Open();
    sim.AdvanceTime(10 * 600);
    EXPECT_GT(box.PauseTicks, 0);
    box.titleLabel.UserClick();
    EXPECT_EQ(program.AboutBox(), nullptr);
    sim.AdvanceTime(100);  // nothing ticks for a closed box

    frmAbout& again = Open();
    EXPECT_EQ(again.creditsPanel.GetBounds().top, 2200);
    EXPECT_EQ(again.PauseTicks, 0);
    EXPECT_EQ(again.copyrightLabel.Caption(), std::string(kCreditLine) + " - E15");
}

TEST_F(AboutBoxTest, CreditsPanelCarriesItsControlsInsideAShorterViewport) {
    StartUsual();
    frmAbout& box = Open();
    EXPECT_NE(box.Icon(), 0);
    EXPECT_EQ(box.creditsView.Container(), nullptr);
    EXPECT_EQ(box.creditsPanel.Container(), &box.creditsView);
    for (const Control* c : {static_cast<const Control*>(&box.descriptionLabel),
                             static_cast<const Control*>(&box.copyrightLabel),
                             static_cast<const Control*>(&box.creditsPicture),
                             static_cast<const Control*>(&box.homePageCaption),
                             static_cast<const Control*>(&box.homePageLink)})
        EXPECT_EQ(c->Container(), &box.creditsPanel) << c->Name();
    // Taller than its viewport: only the scrolling shows all of it.
    EXPECT_GT(box.creditsPanel.GetBounds().height, box.creditsView.GetBounds().height);
}

}  // namespace
}  // namespace gimbalo
