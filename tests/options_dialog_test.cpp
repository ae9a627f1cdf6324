// The options dialog as a user meets it: what it shows for a given settings
// model, and what picking, typing, Apply, OK, Cancel and closing do.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/maker.h"
#include "tests/forms_fixture.h"

namespace gimbalo {
namespace {

using testing::ProgramTest;

class OptionsDialogTest : public ProgramTest {
protected:
    void SetUp() override { StartUsual(); }
    // Opens the dialog anew for the model `s` and `joysticks` joysticks.
    frmOpzioni& OpenWith(const Settings& s, int joysticks = 1) {
        program.UnloadOptionsDialog();
        program.settings = s;
        program.mainWindow.joystickCount = joysticks;
        return OpenOptions();
    }
    static Settings Model(int16_t left, int16_t right, int16_t middle, int16_t joystick = 0,
                          std::string speed = "2") {
        Settings s;
        s.SetDefaults();
        s.LeftButton = left;
        s.RightButton = right;
        s.MiddleButton = middle;
        s.JoystickIndex = joystick;
        s.SpeedSetting = std::move(speed);
        s.LangFileName = "English.lng";
        return s;
    }
};

TEST_F(OptionsDialogTest, LoadShowsTheModel) {
    struct Case {
        const char* what;
        Settings model;
        int joysticks;
        const char *left, *right, *middle, *joystick;
    } cases[] = {
        {"buttons 1 2 3", Model(1, 2, 3), 1, "Button 1", "Button 2", "Button 3", "1"},
        {"left and right the same: right wins", Model(2, 2, 3), 1, "", "Button 2", "Button 3", "1"},
        {"all three the same: middle wins", Model(4, 4, 4), 1, "", "", "Button 4", "1"},
        {"no middle button", Model(1, 2, 0), 1, "Button 1", "Button 2", "", "1"},
        {"a button the joystick lacks", Model(7, 2, 3), 1, "", "Button 2", "Button 3", "1"},
        {"a negative button", Model(-5, 2, 3), 1, "", "Button 2", "Button 3", "1"},
        {"third of three joysticks", Model(1, 2, 3, 2), 3, "", "", "", "3"},
        {"a joystick beyond the count", Model(1, 2, 3, 5), 3, "", "", "", ""},
        {"no joystick chosen", Model(1, 2, 3, -1), 2, "", "", "", ""},
    };
    // Devices 1 and 2 exist only for the joystick cases; device 2 has no buttons.
    sim.AddJoystick("Pad Two", 0);
    sim.AddJoystick("Pad Three", 0);
    for (const Case& c : cases) {
        frmOpzioni& d = OpenWith(c.model, c.joysticks);
        EXPECT_EQ(d.leftButtonList.Text(), c.left) << c.what;
        EXPECT_EQ(d.rightButtonList.Text(), c.right) << c.what;
        EXPECT_EQ(d.middleButtonList.Text(), c.middle) << c.what;
        EXPECT_EQ(d.joystickList.Text(), c.joystick) << c.what;
        EXPECT_EQ(d.joystickList.ListCount(), c.joysticks) << c.what;
        // Everything else is filled whatever the buttons and joystick.
        EXPECT_EQ(d.speedList.Text(), "2") << c.what;
        EXPECT_EQ(d.speedList.ListCount(), 6) << c.what;
        EXPECT_EQ(d.startAtLogin.Value(), 1) << c.what;
        EXPECT_EQ(d.acceleration.Value(), 1) << c.what;
        EXPECT_EQ(d.leftButtonCaption.Caption(), "E17") << c.what;
        EXPECT_FALSE(d.applyButton.Enabled()) << c.what;
        EXPECT_TRUE(d.Visible()) << c.what;
    }
}

TEST_F(OptionsDialogTest, LoadFillsEveryControlFromTheStringTable) {
    frmOpzioni& d = OpenOptions();
    struct Row {
        const Control* control;
        const char* caption;
    } rows[] = {
        {&d.leftButtonCaption, "E17"},   {&d.rightButtonCaption, "E18"},
        {&d.middleButtonCaption, "E19"}, {&d.speedCaption, "E20"},
        {&d.joystickCaption, "E21"},     {&d.acceleration, "E22"},
        {&d.startAtLogin, "E23"},        {&d.okButton, "E1"},
        {&d.cancelButton, "E2"},         {&d.applyButton, "E3"},
    };
    for (const Row& r : rows) EXPECT_EQ(r.control->Caption(), r.caption) << r.control->Name();
    EXPECT_EQ(d.credits.Caption(), std::string(kAuthorsLine) + "\rE15");
    EXPECT_EQ(d.Caption(), "E29 - Pad One");
    EXPECT_EQ(d.Icon(), program.mainWindow.Icon());
    EXPECT_EQ(d.leftButtonList.Items(),
              (std::vector<std::string>{"Button 1", "Button 2", "Button 3", "Button 4"}));
    EXPECT_EQ(d.rightButtonList.Items(), d.leftButtonList.Items());
    EXPECT_EQ(d.middleButtonList.Items(), d.leftButtonList.Items());
    EXPECT_EQ(d.speedList.Items(), (std::vector<std::string>{"0.5", "1", "1.5", "2", "2.5", "3"}));
    EXPECT_EQ(d.leftButtonList.ListIndex(), 0);
    EXPECT_EQ(d.rightButtonList.ListIndex(), 1);
    EXPECT_EQ(d.middleButtonList.ListIndex(), 2);
    EXPECT_EQ(d.joystickList.ListIndex(), 0);
}

TEST_F(OptionsDialogTest, AJoystickThatIsGoneLeavesTheButtonListsEmptyAndTheNameOut) {
    sim.Joystick(0).present = false;
    frmOpzioni& d = OpenWith(Model(1, 2, 3));
    EXPECT_EQ(d.Caption(), "E29 - ");
    EXPECT_EQ(d.leftButtonList.ListCount(), 0);
    EXPECT_EQ(d.leftButtonList.Text(), "");
    EXPECT_EQ(d.speedList.Text(), "2");
    EXPECT_FALSE(d.applyButton.Enabled());
}

TEST_F(OptionsDialogTest, TheTitleHoldsAtMost32CharactersOfTheJoysticksName) {
    const std::string e = "\xC3\xA9";             // é, two bytes
    const std::string ellipsis = "\xE2\x80\xA6";  // …, three bytes
    std::string twentyAccents;                    // 20 characters, 40 bytes
    for (int k = 0; k < 20; ++k) twentyAccents += e;
    std::string fortyEllipses;  // 40 characters, 120 bytes
    for (int k = 0; k < 40; ++k) fortyEllipses += ellipsis;
    std::string thirtyTwoEllipses;
    for (int k = 0; k < 32; ++k) thirtyTwoEllipses += ellipsis;
    struct Case {
        std::string name;
        bool utf8;
        std::string shown;
        const char* what;
    } cases[] = {
        {twentyAccents, true, twentyAccents, "longer than 32 bytes, fewer characters"},
        {fortyEllipses, true, thirtyTwoEllipses, "more than 32 characters"},
        {std::string("Pad\0old name", 12), true, "Pad", "ends at the first NUL"},
        {std::string(40, 'x'), false, std::string(32, 'x'), "a byte is a character"},
    };
    for (const Case& c : cases) {
        sim.SetTextIsUtf8(c.utf8);
        sim.Joystick(0).name = c.name;
        frmOpzioni& d = OpenWith(Model(1, 2, 3));
        EXPECT_EQ(d.Caption(), "E29 - " + c.shown) << c.what;
    }
}

TEST_F(OptionsDialogTest, ListsStayWithinWhatAReadingCanReport) {
    sim.AddJoystick("Many Buttons", 40);
    Settings s = Model(1, 2, 3, 1);
    frmOpzioni& d = OpenWith(s, 2);
    EXPECT_EQ(d.leftButtonList.ListCount(), 32) << "a reading has 32 button bits";
    // A joystick count below one, or too big, still opens the dialog.
    struct Case {
        int count, entries;
    } cases[] = {{0, 0}, {-3, 0}, {2, 2}, {16, 16}, {1000000000, kMaxJoystickEntries}};
    for (const Case& c : cases) {
        program.UnloadOptionsDialog();
        program.mainWindow.joystickCount = c.count;
        frmOpzioni& reopened = OpenOptions();
        EXPECT_EQ(reopened.joystickList.ListCount(), c.entries) << c.count;
        EXPECT_EQ(reopened.speedList.Text(), "2") << c.count;
    }
}

TEST_F(OptionsDialogTest, EmptySpeedShowsTwoAndSetsTheModelBeforeAnyApply) {
    frmOpzioni& d = OpenWith(Model(1, 2, 3, 0, ""));
    EXPECT_EQ(d.speedList.Text(), "2");
    EXPECT_EQ(program.settings.SpeedSetting, "2");
    EXPECT_FALSE(d.applyButton.Enabled());
}

TEST_F(OptionsDialogTest, TypedSpeedIsStoredAndShownAtTheNextLoad) {
    frmOpzioni& d = OpenOptions();
    d.speedList.UserType("1.7");
    EXPECT_TRUE(d.applyButton.Enabled());
    EXPECT_EQ(d.speedList.ListIndex(), -1);
    d.applyButton.UserClick();
    EXPECT_EQ(program.settings.SpeedSetting, "1.7");
    EXPECT_EQ(SettingsText(), "1\r\n2\r\n3\r\n1.7\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
    EXPECT_FALSE(d.applyButton.Enabled());

    d.UserClose();
    frmOpzioni& again = OpenOptions();
    EXPECT_EQ(again.speedList.Text(), "1.7");
}

TEST_F(OptionsDialogTest, PickingTheButtonAnotherListShowsEmptiesThatList) {
    using Dialog = frmOpzioni;
    struct Case {
        const char* what;
        ComboBox Dialog::*list;
        int pick;
        const char *left, *right, *middle;
    } cases[] = {
        {"right takes left's button", &Dialog::rightButtonList, 0, "", "Button 1", "Button 3"},
        {"left takes middle's button", &Dialog::leftButtonList, 2, "Button 3", "Button 2", ""},
        {"middle takes right's button", &Dialog::middleButtonList, 1, "Button 1", "", "Button 2"},
        {"a free button empties nothing", &Dialog::leftButtonList, 3, "Button 4", "Button 2",
         "Button 3"},
        {"its own button again", &Dialog::rightButtonList, 1, "Button 1", "Button 2", "Button 3"},
    };
    for (const Case& c : cases) {
        frmOpzioni& d = OpenWith(Model(1, 2, 3));
        EXPECT_TRUE((d.*c.list).UserPick(c.pick)) << c.what;
        EXPECT_EQ(d.leftButtonList.Text(), c.left) << c.what;
        EXPECT_EQ(d.rightButtonList.Text(), c.right) << c.what;
        EXPECT_EQ(d.middleButtonList.Text(), c.middle) << c.what;
        EXPECT_TRUE(d.applyButton.Enabled()) << c.what;
    }
}

TEST_F(OptionsDialogTest, EveryOtherChangeEnablesApply) {
    sim.AddJoystick("Pad Two", 4);
    struct Case {
        const char* what;
        std::function<bool(frmOpzioni&)> act;
    } cases[] = {
        {"speed picked", [](frmOpzioni& d) { return d.speedList.UserPick(0); }},
        {"speed typed", [](frmOpzioni& d) { return d.speedList.UserType("1.7"); }},
        {"joystick picked", [](frmOpzioni& d) { return d.joystickList.UserPick(1); }},
        {"joystick typed", [](frmOpzioni& d) { return d.joystickList.UserType("9"); }},
        {"start with the desktop", [](frmOpzioni& d) { return d.startAtLogin.UserToggle(); }},
        {"acceleration", [](frmOpzioni& d) { return d.acceleration.UserToggle(); }},
    };
    for (const Case& c : cases) {
        frmOpzioni& d = OpenWith(Model(1, 2, 3), 2);
        const std::string file = SettingsText();
        ASSERT_FALSE(d.applyButton.Enabled()) << c.what;
        EXPECT_TRUE(c.act(d)) << c.what;
        EXPECT_TRUE(d.applyButton.Enabled()) << c.what;
        EXPECT_EQ(SettingsText(), file) << c.what << ": nothing is applied yet";
    }
}

TEST_F(OptionsDialogTest, TypingAnEntrysTextSelectsItAndExcludesTheOthers) {
    frmOpzioni& d = OpenOptions();
    d.leftButtonList.UserType("Button 3");
    EXPECT_EQ(d.leftButtonList.ListIndex(), 2);
    EXPECT_EQ(d.middleButtonList.Text(), "");
    EXPECT_EQ(d.middleButtonList.ListIndex(), -1);
    d.rightButtonList.UserType("button 2");  // other letter case: no entry
    EXPECT_EQ(d.rightButtonList.ListIndex(), -1);
    d.applyButton.UserClick();
    EXPECT_EQ(program.settings.LeftButton, 3);
    EXPECT_EQ(program.settings.RightButton, 0);
    EXPECT_EQ(program.settings.MiddleButton, 0);
}

TEST_F(OptionsDialogTest, ApplyStoresEmptiedListsAsZero) {
    frmOpzioni& d = OpenWith(Model(2, 2, 0));
    EXPECT_FALSE(d.applyButton.Enabled());
    d.applyButton.SetEnabled(true);  // as any change would
    d.applyButton.UserClick();
    EXPECT_EQ(program.settings.LeftButton, 0);
    EXPECT_EQ(program.settings.RightButton, 2);
    EXPECT_EQ(program.settings.MiddleButton, 0);
}

TEST_F(OptionsDialogTest, OkKeepsWhatAListCannotShowUntilTheUserChangesThatList) {
    sim.AddJoystick("Two buttons", 2);  // device 1; device 5 does not answer
    const std::function<void(frmOpzioni&)> nothing = [](frmOpzioni&) {};
    const struct {
        int16_t inUse;
        std::function<void(frmOpzioni&)> edit;
        std::vector<int> stored;  // left, right, middle, joystick in use
    } cases[] = {
        {1, nothing, {1, 2, 3, 1}},
        {5, nothing, {1, 2, 3, 5}},
        {1, [](frmOpzioni& d) { d.middleButtonList.UserPick(1); }, {1, 0, 2, 1}},
        {1, [](frmOpzioni& d) { d.middleButtonList.UserType("x"); }, {1, 2, 0, 1}},
        {5, [](frmOpzioni& d) { d.joystickList.UserPick(0); }, {1, 2, 3, 0}},
    };
    for (const auto& c : cases) {
        c.edit(OpenWith(Model(1, 2, 3, c.inUse), 2));
        program.OptionsDialog()->okButton.UserClick();
        const Settings& s = program.settings;
        EXPECT_EQ(std::vector<int>({s.LeftButton, s.RightButton, s.MiddleButton, s.JoystickIndex}),
                  c.stored);
    }
}

TEST_F(OptionsDialogTest, ApplyCopiesEveryControlIntoTheModelAndTheFile) {
    sim.AddJoystick("Pad Two", 6);
    frmOpzioni& d = OpenWith(Model(1, 2, 3), 2);
    d.leftButtonList.UserPick(3);
    d.speedList.UserPick(0);
    d.acceleration.UserToggle();
    d.startAtLogin.UserToggle();
    d.joystickList.UserPick(1);
    d.applyButton.UserClick();
    const Settings& s = program.settings;
    EXPECT_EQ(s.LeftButton, 4);
    EXPECT_EQ(s.SpeedSetting, "0.5");
    EXPECT_EQ(s.Acceleration, 0);
    EXPECT_EQ(s.StartWithWindows, 0);
    EXPECT_EQ(s.JoystickIndex, 1);
    EXPECT_TRUE(sim.autostart.empty());
    EXPECT_EQ(SettingsText(), "4\r\n2\r\n3\r\n0.5\r\n0\r\n0\r\n1\r\nEnglish.lng\r\n");
    // The dialog goes on describing the joystick it was loaded for.
    EXPECT_EQ(d.Caption(), "E29 - Pad One");
    EXPECT_EQ(d.leftButtonList.ListCount(), 4);
}

TEST_F(OptionsDialogTest, DisabledApplyTakesNoClickButOkStillApplies) {
    frmOpzioni& d = OpenOptions();
    std::filesystem::remove(Path("Gimbalo.ini"));
    sim.autostart.clear();
    EXPECT_FALSE(d.applyButton.UserClick());
    EXPECT_FALSE(SettingsWritten());

    d.okButton.UserClick();
    EXPECT_FALSE(d.Visible());
    EXPECT_EQ(program.OptionsDialog(), &d) << "OK hides the dialog, it stays alive";
    EXPECT_EQ(SettingsText(), "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
    EXPECT_EQ(sim.autostart.count("Gimbalo"), 1u);
}

TEST_F(OptionsDialogTest, CancelKeepsTheEditsInTheDialogButNotInTheModel) {
    frmOpzioni& d = OpenOptions();
    const std::string before = SettingsText();
    d.rightButtonList.UserPick(3);
    d.acceleration.UserToggle();
    d.cancelButton.UserClick();
    EXPECT_FALSE(d.Visible());
    EXPECT_EQ(program.settings.RightButton, 2);
    EXPECT_EQ(program.settings.Acceleration, 1);
    EXPECT_EQ(SettingsText(), before);

    frmOpzioni& again = OpenOptions();
    EXPECT_EQ(&again, &d);
    EXPECT_EQ(again.rightButtonList.Text(), "Button 4");
    EXPECT_EQ(again.acceleration.Value(), 0);
    EXPECT_TRUE(again.applyButton.Enabled());
}

TEST_F(OptionsDialogTest, TitleBarCloseDropsTheEditsWithoutSaving) {
    frmOpzioni& d = OpenOptions();
    const std::string before = SettingsText();
    d.rightButtonList.UserPick(3);
    d.UserClose();
    EXPECT_EQ(program.OptionsDialog(), nullptr);
    EXPECT_EQ(program.settings.RightButton, 2);
    EXPECT_EQ(SettingsText(), before);

    frmOpzioni& again = OpenOptions();
    EXPECT_EQ(again.rightButtonList.Text(), "Button 2");
    EXPECT_FALSE(again.applyButton.Enabled());
}

TEST_F(OptionsDialogTest, ApplyWhenTheFileCannotBeWrittenStillChangesTheModel) {
    frmOpzioni& d = OpenOptions();
    std::filesystem::remove(Path("Gimbalo.ini"));
    std::filesystem::create_directory(Path("Gimbalo.ini"));  // a folder in the file's place
    d.startAtLogin.UserToggle();
    d.applyButton.UserClick();
    EXPECT_EQ(program.settings.StartWithWindows, 0);
    EXPECT_TRUE(sim.autostart.empty());
    EXPECT_FALSE(d.applyButton.Enabled());
}

TEST_F(OptionsDialogTest, PollingUsesAppliedValuesAtOnce) {
    frmOpzioni& d = OpenOptions();
    d.leftButtonList.UserPick(3);  // joystick button 4 is now the left mouse button
    d.applyButton.UserClick();
    sim.SetStick(32767, 32767, 8);
    sim.AdvanceTime(5);
    EXPECT_EQ(sim.buttonEvents, std::vector<uint32_t>{MOUSEEVENTF_LEFTDOWN});
}

TEST_F(OptionsDialogTest, TabOrderAndHandPointerCoverTheTenInteractiveControls) {
    frmOpzioni& d = OpenOptions();
    const Control* tabOrder[] = {&d.leftButtonList, &d.rightButtonList, &d.middleButtonList,
                                 &d.speedList,      &d.joystickList,    &d.acceleration,
                                 &d.startAtLogin,   &d.okButton,        &d.applyButton,
                                 &d.cancelButton};
    for (int k = 0; k < 10; ++k) EXPECT_EQ(tabOrder[k]->TabIndex(), k) << tabOrder[k]->Name();
    // The labels and the picture take no focus and keep the usual pointer.
    int hands = 0;
    for (const Control* control : d.Controls()) {
        const bool interactive = control->TabIndex() >= 0;
        EXPECT_EQ(control->Pointer() == PointerShape::Hand, interactive) << control->Name();
        hands += control->Pointer() == PointerShape::Hand;
    }
    EXPECT_EQ(hands, 10);
    EXPECT_NE(d.decoration.PictureHandle(), 0) << "the decoration is shipped and loads";
}

}  // namespace
}  // namespace gimbalo
