// Start-up, the tray callback, the popup menu and the exit, as a user meets
// them on the sim desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "core/maker.h"
#include "tests/forms_fixture.h"

namespace gimbalo {
namespace {

using testing::LanguageFileText;
using testing::ProgramTest;

class MainWindowTest : public ProgramTest {};

int TrayAdds(const SimPlatform& sim) {
    return static_cast<int>(
        std::count_if(sim.trayCalls.begin(), sim.trayCalls.end(),
                      [](const SimTrayCall& c) { return c.message == NIM_ADD; }));
}

TEST_F(MainWindowTest, FirstStartWithoutSettingsTakesDefaultsAndTheLanguageOfTheCountry) {
    sim.AddJoystick("Pad", 4);
    WriteLanguage("English.lng", LanguageFileText("E"));
    program.Start();

    EXPECT_FALSE(sim.ProgramEnded());
    const Settings& s = program.settings;
    EXPECT_EQ(s.LeftButton, 1);
    EXPECT_EQ(s.RightButton, 2);
    EXPECT_EQ(s.MiddleButton, 3);
    EXPECT_EQ(s.SpeedSetting, "2");
    EXPECT_EQ(s.Acceleration, 1);
    EXPECT_EQ(s.StartWithWindows, 1);
    EXPECT_EQ(s.JoystickIndex, 0);
    // As for a settings file without a language line: by the country.
    EXPECT_EQ(s.LangFileName, "English.lng");
    EXPECT_EQ(program.LangText[7], "E7");
    EXPECT_EQ(program.mainWindow.optionsItem.Caption(), "E7");
    EXPECT_EQ(program.mainWindow.exitItem.Caption(), "E13");
    EXPECT_EQ(program.mainWindow.separator0.Caption(), "-");
    EXPECT_TRUE(sim.autostart.empty()) << "the autostart entry waits for a settings file";
    EXPECT_EQ(sim.commonControlsInitialised, 1);
    EXPECT_EQ(program.mainWindow.joystickCount, 1);
    EXPECT_EQ(program.mainWindow.pollingTimer.Interval(), 5);
    EXPECT_FALSE(program.mainWindow.Visible());
    EXPECT_TRUE(sim.messageBoxes.empty());

    ASSERT_EQ(sim.TrayIcons().size(), 1u);
    const SimTrayIcon& icon = sim.TrayIcons().front();
    EXPECT_EQ(icon.window, &program.mainWindow);
    EXPECT_EQ(icon.tip, "Animated TrayIcon");
    EXPECT_NE(icon.icon, 0);
    EXPECT_EQ(static_cast<int32_t>(icon.id), icon.icon);
    EXPECT_EQ(icon.icon, program.mainWindow.Icon());
    EXPECT_EQ(icon.callbackMessage, static_cast<uint32_t>(WM_MOUSEMOVE));
    EXPECT_FALSE(SettingsWritten());

    // The exit writes the file with the language chosen.
    program.RunMenuCommand("mnuExit");
    EXPECT_EQ(SettingsText(), "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
}

TEST_F(MainWindowTest, StartWithSettingsLoadsTheLanguageCaptionsTheMenuAndSyncsAutostart) {
    StartUsual();
    EXPECT_EQ(program.settings.LangFileName, "English.lng");
    EXPECT_EQ(program.LangText[7], "E7");
    struct Case {
        const MenuItem* item;
        const char* caption;
    } cases[] = {
        {&program.mainWindow.optionsItem, "E7"},
        {&program.mainWindow.separator0, "-"},
        {&program.mainWindow.languageItem, "Language..."},
        {&program.mainWindow.addLanguageItem, "E27"},
        {&program.mainWindow.separator1, "-"},
        {&program.mainWindow.donationItem, "E8"},
        {&program.mainWindow.separator4, "-"},
        {&program.mainWindow.updatesItem, "E9"},
        {&program.mainWindow.separator3, "-"},
        {&program.mainWindow.licenceItem, "E10"},
        {&program.mainWindow.versionHistoryItem, "E11"},
        {&program.mainWindow.aboutItem, "E12"},
        {&program.mainWindow.separator2, "-"},
        {&program.mainWindow.exitItem, "E13"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.item->Caption(), c.caption) << c.item->Name();
    EXPECT_EQ(program.mainWindow.popupMenu.Caption(), "Gimbalo");
    EXPECT_EQ(sim.autostart.count("Gimbalo"), 1u);
}

TEST_F(MainWindowTest, SettingsWithoutLanguageChooseByCountryAndAutostartOffDeletesTheEntry) {
    sim.AddJoystick("Pad", 4);
    sim.SetCountryName("Italy");
    sim.autostart["Gimbalo"] = "/old/path";
    WriteLanguage("Italiano.lng", LanguageFileText("I"));
    WriteSettings("1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n0\r\n");
    program.Start();
    EXPECT_EQ(program.settings.LangFileName, "Italiano.lng");
    EXPECT_EQ(program.mainWindow.optionsItem.Caption(), "I7");
    EXPECT_TRUE(sim.autostart.empty());
    EXPECT_FALSE(SettingsWritten() && SettingsText().find("Italiano") != std::string::npos)
        << "the chosen name waits for the next save";
}

TEST_F(MainWindowTest, NoJoystickShowsTheMessageAndEndsWithoutIconOrSave) {
    WriteLanguage("English.lng", LanguageFileText("E"));
    WriteSettings("1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
    const std::string before = SettingsText();
    program.Start();

    EXPECT_TRUE(sim.ProgramEnded());
    ASSERT_EQ(sim.messageBoxes.size(), 1u);
    EXPECT_EQ(sim.messageBoxes[0].text, "E24\r\rE25");
    EXPECT_EQ(sim.messageBoxes[0].title, "E4");
    EXPECT_EQ(sim.messageBoxes[0].style, 48u);
    EXPECT_EQ(TrayAdds(sim), 0);
    EXPECT_TRUE(sim.TrayIcons().empty());
    // The icon is removed as the unload step removes it: under the stored
    // picture (none yet), then under the window's icon.
    std::vector<uint32_t> removed;
    for (const SimTrayCall& call : sim.trayCalls)
        if (call.message == NIM_DELETE) removed.push_back(call.data.uID);
    EXPECT_EQ(removed,
              (std::vector<uint32_t>{0u, static_cast<uint32_t>(program.mainWindow.Icon())}));
    EXPECT_NE(program.mainWindow.Icon(), 0);
    EXPECT_EQ(program.mainWindow.pollingTimer.Interval(), 0);
    EXPECT_EQ(SettingsText(), before);
    EXPECT_EQ(program.mainWindow.joystickCount, 0);
}

TEST_F(MainWindowTest, AtAFirstStartTheNoJoystickMessageIsInTheCountrysLanguage) {
    struct Case {
        const char* country;
        const char* text;
        const char* title;
    } cases[] = {
        {"Italy", "I24\r\rI25", "I4"},
        {"Germany", "E24\r\rE25", "E4"},
    };
    for (const Case& c : cases) {
        testing::TempFolder other;
        SimPlatform desk(other.Path());
        Program first(desk);
        desk.SetCountryName(c.country);
        testing::WriteFile(other.File("Lang/English.lng"), LanguageFileText("E"));
        testing::WriteFile(other.File("Lang/Italiano.lng"), LanguageFileText("I"));
        first.Start();  // no joystick, no settings file
        ASSERT_EQ(desk.messageBoxes.size(), 1u) << c.country;
        EXPECT_EQ(desk.messageBoxes[0].text, c.text);
        EXPECT_EQ(desk.messageBoxes[0].title, c.title);
        EXPECT_FALSE(std::filesystem::exists(other.File("Gimbalo.ini")));
        EXPECT_TRUE(desk.autostart.empty());
    }
}

TEST_F(MainWindowTest, AnotherCopyRunningShowsTheMessageAfterTheLanguageStep) {
    struct Case {
        bool settings;
        const char* text;
        const char* title;
    } cases[] = {
        {true, "E5 Gimbalo E6", "E4"},
        {false, "E5 Gimbalo E6", "E4"},  // a first start speaks the language too
    };
    for (const Case& c : cases) {
        testing::TempFolder other;
        SimPlatform desk(other.Path());
        Program second(desk);
        desk.AddJoystick("Pad", 4);
        desk.SetAnotherInstanceRunning(true);
        testing::WriteFile(other.File("Lang/English.lng"), LanguageFileText("E"));
        if (c.settings)
            testing::WriteFile(other.File("Gimbalo.ini"),
                               "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
        second.Start();
        EXPECT_TRUE(desk.ProgramEnded());
        ASSERT_EQ(desk.messageBoxes.size(), 1u);
        EXPECT_EQ(desk.messageBoxes[0].text, c.text);
        EXPECT_EQ(desk.messageBoxes[0].title, c.title);
        EXPECT_EQ(desk.messageBoxes[0].style, 48u);
        EXPECT_TRUE(desk.TrayIcons().empty());
        EXPECT_EQ(second.mainWindow.pollingTimer.Interval(), 0);
        // The autostart entry is already in line when the second copy ends.
        EXPECT_EQ(desk.autostart.count("Gimbalo"), c.settings ? 1u : 0u);
    }
}

TEST_F(MainWindowTest, ExitSavesRemovesTheIconAndReleasesAHeldButton) {
    StartUsual();
    program.settings.SpeedSetting = "1.5";
    sim.SetStick(32767, 32767, 1);  // joystick button 1: the left mouse button
    sim.AdvanceTime(5);
    ASSERT_EQ(sim.buttonEvents, std::vector<uint32_t>{MOUSEEVENTF_LEFTDOWN});

    EXPECT_TRUE(program.RunMenuCommand("mnuExit"));
    EXPECT_TRUE(sim.ProgramEnded());
    EXPECT_EQ(sim.buttonEvents.back(), MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(sim.TrayIcons().empty());
    const long deletes =
        std::count_if(sim.trayCalls.begin(), sim.trayCalls.end(),
                      [](const SimTrayCall& c) { return c.message == NIM_DELETE; });
    EXPECT_EQ(deletes, 2);
    EXPECT_EQ(SettingsText(), "1\r\n2\r\n3\r\n1.5\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
    // Nothing runs after the end.
    sim.AdvanceTime(50);
    EXPECT_EQ(sim.buttonEvents.back(), MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(program.RunMenuCommand("mnuDef"));
}

TEST_F(MainWindowTest, ExitWithTheOptionsDialogOpenSavesTheModelNotTheDialog) {
    StartUsual();
    frmOpzioni& dialog = OpenOptions();
    dialog.speedList.UserType("3");
    program.RunMenuCommand("mnuExit");
    EXPECT_TRUE(sim.ProgramEnded());
    EXPECT_TRUE(sim.TrayIcons().empty());
    EXPECT_EQ(SettingsText(), "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
}

TEST_F(MainWindowTest, TrayCallbackOpensTheMenuOnlyOnButtonReleases) {
    StartUsual();
    struct Case {
        float x;
        int32_t message;
        bool opens;
    } cases[] = {
        {7680, 512, false},     // pointer moves over the icon
        {7695, 513, false},     // left press
        {7710, 514, true},      // left release
        {7725, 515, false},     // left double-click
        {7740, 516, false},     // right press
        {7755, 517, true},      // right release
        {7770, 518, false},     // right double-click
        {7815, 521, false},     // middle release
        {7702.5f, 514, true},   // 513.5: the half goes to the even 514
        {7717.5f, 514, true},   // 514.5: the half goes to the even 514
        {7732.5f, 516, false},  // 515.5 goes to 516
        {7711, 514, true},      // 514.07
    };
    for (const Case& c : cases) {
        const int before = sim.popupMenusShown;
        program.mainWindow.MouseMove(0, 0, c.x, 0);
        EXPECT_EQ(program.mainWindow.trayMessage, c.message) << "x=" << c.x;
        EXPECT_EQ(sim.popupMenusShown - before, c.opens ? 1 : 0) << "x=" << c.x;
    }
}

TEST_F(MainWindowTest, PopupMenuHasItsItemsInOrderWithSixPictures) {
    StartUsual();
    program.mainWindow.MouseMove(0, 0, 7710, 0);
    ASSERT_EQ(sim.shownMenus.size(), 1u);
    const SimShownMenu& shown = sim.shownMenus[0];
    EXPECT_EQ(shown.menu, "PopUp");
    const MainWindow& w = program.mainWindow;
    struct Row {
        const char* name;
        bool separator;
        int32_t picture;
    } rows[] = {
        {"mnuDef", false, w.optionsPicture.PictureHandle()},
        {"R0", true, 0},
        {"mnuLingua", false, 0},
        {"mnuAggLingua", false, 0},
        {"R1", true, 0},
        {"mnuDonazione", false, w.donationPicture.PictureHandle()},
        {"R4", true, 0},
        {"mnuAggiornamenti", false, w.updatesPicture.PictureHandle()},
        {"R3", true, 0},
        {"mnuLicenza", false, w.licencePicture.PictureHandle()},
        {"mnuVersioni", false, 0},
        {"mnuAbout", false, w.aboutPicture.PictureHandle()},
        {"R2", true, 0},
        {"mnuExit", false, w.exitPicture.PictureHandle()},
    };
    ASSERT_EQ(shown.items.size(), std::size(rows));
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        EXPECT_EQ(shown.items[k].name, rows[k].name) << k;
        EXPECT_EQ(shown.items[k].separator, rows[k].separator) << rows[k].name;
        EXPECT_EQ(shown.items[k].picture, rows[k].picture) << rows[k].name;
    }
    // Six different pictures, each 13 x 13 pixels, loaded from the shipped files.
    std::set<int32_t> pictures;
    for (const Image* img : {&w.optionsPicture, &w.aboutPicture, &w.updatesPicture,
                             &w.donationPicture, &w.licencePicture, &w.exitPicture}) {
        EXPECT_NE(img->PictureHandle(), 0) << img->Name();
        EXPECT_EQ(img->GetBounds().width, 13 * kTwipsPerPixel);
        EXPECT_EQ(img->GetBounds().height, 13 * kTwipsPerPixel);
        pictures.insert(img->PictureHandle());
    }
    EXPECT_EQ(pictures.size(), 6u);
}

TEST_F(MainWindowTest, OptionsChosenTwiceFromTheTrayOpenOneDialog) {
    StartUsual();
    sim.QueueMenuChoice("mnuDef");
    program.mainWindow.MouseMove(0, 0, 7755, 0);
    frmOpzioni* first = program.OptionsDialog();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Visible());
    EXPECT_TRUE(sim.FormLoaded(*first));
    first->speedList.UserType("2.5");
    first->cancelButton.UserClick();  // Cancel hides it
    EXPECT_FALSE(first->Visible());

    sim.QueueMenuChoice("mnuDef");
    program.mainWindow.MouseMove(0, 0, 7710, 0);
    EXPECT_EQ(program.OptionsDialog(), first);
    EXPECT_TRUE(first->Visible());
    EXPECT_EQ(first->speedList.Text(), "2.5") << "the load step does not run again";
    EXPECT_TRUE(sim.broughtForward.empty()) << "it was hidden: showing it is enough";

    // Chosen again while it is shown (perhaps under other windows), and the
    // about box likewise: each comes to the front.
    EXPECT_TRUE(program.RunMenuCommand("mnuDef"));
    EXPECT_TRUE(program.RunMenuCommand("mnuAbout"));
    EXPECT_TRUE(program.RunMenuCommand("mnuAbout"));
    EXPECT_EQ(sim.broughtForward, (std::vector<std::string>{"frmOpzioni", "frmAbout"}));
}

TEST_F(MainWindowTest, MenuCommandsByName) {
    StartUsual();
    EXPECT_FALSE(program.RunMenuCommand("mnuNothing"));
    EXPECT_FALSE(program.RunMenuCommand("R0")) << "a separator is not a command";

    struct Case {
        const char* item;
        std::string commandLine;
        int style;
    } cases[] = {
        {"mnuDonazione", std::string("explorer ") + kDonationPage, 3},
        {"mnuAggiornamenti", std::string("explorer ") + kUpdatesPage, 3},
        {"mnuLicenza", "Explorer " + folder.Path() + "/License.txt", 3},
        {"mnuVersioni", "Explorer " + folder.Path() + "/Versioni.txt", 1},
    };
    for (const Case& c : cases) {
        sim.startedPrograms.clear();
        EXPECT_TRUE(program.RunMenuCommand(c.item));
        ASSERT_EQ(sim.startedPrograms.size(), 1u) << c.item;
        EXPECT_EQ(sim.startedPrograms[0].commandLine, c.commandLine) << c.item;
        EXPECT_EQ(sim.startedPrograms[0].showStyle, c.style) << c.item;
    }

    sim.startedPrograms.clear();
    EXPECT_TRUE(program.RunMenuCommand("mnuAggLingua"));
    ASSERT_EQ(sim.startedPrograms.size(), 1u);
    EXPECT_NE(sim.startedPrograms[0].commandLine.find("Invia_Traduzione.html"), std::string::npos);

    EXPECT_TRUE(program.RunMenuCommand("mnuAbout"));
    EXPECT_NE(program.AboutBox(), nullptr);
}

TEST_F(MainWindowTest, LicenceFollowsTheLanguageInUse) {
    StartUsual();
    program.settings.LangFileName = "Italiano.lng";
    program.RunMenuCommand("mnuLicenza");
    ASSERT_EQ(sim.startedPrograms.size(), 1u);
    // The read-me's name holds blanks: its path is quoted.
    EXPECT_EQ(sim.startedPrograms[0].commandLine,
              "Explorer \"" + folder.Path() + "/Leggere prima dell'uso.txt\"");
}

}  // namespace
}  // namespace gimbalo
