// Which language the program speaks: chosen at start-up from the settings or
// the user's country, and from the Language command's dialog.
#include <gtest/gtest.h>

#include <optional>

#include "lang/language_choice.h"
#include "tests/forms_fixture.h"

namespace gimbalo {
namespace {

using testing::LanguageFileText;
using testing::ProgramTest;

class LanguageChoiceTest : public ProgramTest {
protected:
    void SetUp() override {
        WriteLanguage("Italiano.lng", LanguageFileText("I", {{26, "&Lingua..."}}));
        WriteLanguage("Deutsch.lng", LanguageFileText("D", {{26, "&Sprache..."}}));
        WriteLanguage("extra/Klingon.lng", LanguageFileText("K"));
        StartUsual();
    }
    std::string LangFolder() const { return Path("Lang"); }
    // Chooses `path` in the language dialog (nothing: the user cancels).
    void Choose(std::optional<std::string> path) {
        sim.QueueDialogAnswer(std::move(path));
        EXPECT_TRUE(program.RunMenuCommand("mnuLingua"));
    }
};

TEST_F(LanguageChoiceTest, StartupChoiceFollowsTheStoredNameOrTheCountry) {
    struct Case {
        const char* stored;
        std::optional<std::string> country;
        const char* chosen;
    } cases[] = {
        {"", "Italy", "Italiano.lng"},
        {"   ", "Italy", "Italiano.lng"},
        {"", "ITALY", "Italiano.lng"},
        {"", "Switzerland", "English.lng"},
        {"", "San Marino", "English.lng"},
        {"", "", "English.lng"},
        {"", std::nullopt, "English.lng"},
        {"Deutsch.lng", "Italy", "Deutsch.lng"},
        {" Deutsch.lng", "Italy", " Deutsch.lng"},  // taken as read, not trimmed
    };
    for (const Case& c : cases) {
        sim.SetCountryName(c.country);
        SelectStartupLanguage(sim, program.settings, program.LangText, c.stored);
        EXPECT_EQ(program.settings.LangFileName, c.chosen)
            << "stored \"" << c.stored << "\", country " << c.country.value_or("(none)");
    }
    SelectStartupLanguage(sim, program.settings, program.LangText, "Deutsch.lng");
    program.mainWindow.ApplyMenuCaptions();
    EXPECT_EQ(program.mainWindow.optionsItem.Caption(), "D7");
    EXPECT_EQ(program.mainWindow.separator0.Caption(), "-");
}

TEST_F(LanguageChoiceTest, TheDialogIsAskedForLanguageFiles) {
    Choose(std::nullopt);
    ASSERT_EQ(sim.dialogs.size(), 1u);
    const OPENFILENAME& asked = sim.dialogs[0];
    EXPECT_EQ(asked.lpstrFilter, std::string("Language\0*.lng", 14));
    EXPECT_EQ(asked.lpstrTitle, "E15");
    EXPECT_EQ(asked.lpstrInitialDir, LangFolder());
    EXPECT_EQ(asked.lpstrDefExt, "lng");
    EXPECT_EQ(asked.nFilterIndex, 1u);
    EXPECT_EQ(asked.Flags, 0u);
    EXPECT_EQ(asked.hwndOwner, &program.mainWindow);
}

TEST_F(LanguageChoiceTest, ThePathChosenDecidesTheLanguageFile) {
    const std::string lang = LangFolder();
    struct Case {
        std::string chosen;
        const char* name;
        const char* menuCaption;
    } cases[] = {
        {lang + "/Italiano.lng", "Italiano.lng", "I7"},
        {lang + "/extra/Klingon.lng", "extra/Klingon.lng", "K7"},
        // The last "/Lang/" decides: x.lng is read from the program's folder.
        {"/D/Lang/Tools/Lang/Deutsch.lng", "Deutsch.lng", "D7"},
        {"/D/Other/Lang/Italiano.lng", "Italiano.lng", "I7"},
        // A file that is not there: the name is kept, nothing is loaded.
        {lang + "/Missing.lng", "Missing.lng", "I7"},
        // No folder called Lang in this letter case: the name stays.
        {"/D/other/lang/Deutsch.lng", "Missing.lng", "I7"},
        {"/D/LANG/Deutsch.lng", "Missing.lng", "I7"},
        {"/D/Deutsch.lng", "Missing.lng", "I7"},
    };
    for (const Case& c : cases) {
        Choose(c.chosen);
        EXPECT_EQ(program.settings.LangFileName, c.name) << c.chosen;
        EXPECT_EQ(program.mainWindow.optionsItem.Caption(), c.menuCaption) << c.chosen;
        EXPECT_NE(SettingsText().find(c.name), std::string::npos) << "saved: " << c.chosen;
    }
}

TEST_F(LanguageChoiceTest, PathsWithTheWindowsSeparator) {
    EXPECT_EQ(LanguageFromChosenPath("C:\\Program\\Lang\\Italiano.lng", '\\', "old"),
              "Italiano.lng");
    EXPECT_EQ(LanguageFromChosenPath("D:\\Lang\\Tools\\Lang\\x.lng", '\\', "old"), "x.lng");
    EXPECT_EQ(LanguageFromChosenPath("D:\\lang\\x.lng", '\\', "old"), "old");
    EXPECT_EQ(LanguageFromChosenPath("/home/u/Lang/x.lng", '\\', "old"), "old");
}

TEST_F(LanguageChoiceTest, CancelStillClosesTheOptionsDialogCaptionsTheMenuAndSaves) {
    frmOpzioni& dialog = OpenOptions();
    dialog.speedList.UserType("3");
    std::filesystem::remove(Path("Gimbalo.ini"));
    program.mainWindow.optionsItem.SetCaption("stale");
    Choose(std::nullopt);
    EXPECT_EQ(program.OptionsDialog(), nullptr);
    EXPECT_EQ(program.mainWindow.optionsItem.Caption(), "E7");
    EXPECT_EQ(program.settings.LangFileName, "English.lng");
    EXPECT_EQ(SettingsText(), "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
}

TEST_F(LanguageChoiceTest, ChangingTheLanguageWithTheDialogOpenReopensItInTheNewLanguage) {
    frmOpzioni& dialog = OpenOptions();
    EXPECT_EQ(dialog.leftButtonCaption.Caption(), "E17");
    Choose(LangFolder() + "/Italiano.lng");
    EXPECT_EQ(program.OptionsDialog(), nullptr);
    frmOpzioni& again = OpenOptions();
    EXPECT_EQ(again.leftButtonCaption.Caption(), "I17");
    EXPECT_EQ(again.okButton.Caption(), "I1");
    EXPECT_EQ(again.Caption(), "I29 - Pad One");
    EXPECT_EQ(again.leftButtonList.Text(), "I16 1");
}

TEST_F(LanguageChoiceTest, ShortMenuTextShowsNoDialogButStillSaves) {
    struct Case {
        const char* entry26;
        bool dialog;
        std::string description;
    } cases[] = {
        {"ab", false, ""},
        {"A\xE2\x80\xA6", false, ""},            // two characters, four bytes
        {"Ab\xE2\x80\xA6", true, ""},            // three characters
        {"Sprache\xE2\x80\xA6", true, "Sprac"},  // an ellipsis counts once
        {"&Lingua...", true, "&Lingua"},
    };
    for (const Case& c : cases) {
        sim.dialogs.clear();
        program.LangText[26] = c.entry26;
        std::filesystem::remove(Path("Gimbalo.ini"));
        Choose(std::nullopt);
        ASSERT_EQ(sim.dialogs.size(), c.dialog ? 1u : 0u) << c.entry26;
        if (c.dialog) {
            EXPECT_EQ(sim.dialogs[0].lpstrFilter.substr(0, c.description.size() + 6),
                      c.description + '\0' + "*.lng")
                << c.entry26;
        }
        EXPECT_TRUE(SettingsWritten()) << c.entry26;
        EXPECT_EQ(program.mainWindow.languageItem.Caption(), c.entry26);
    }
}

TEST_F(LanguageChoiceTest, WithoutAnyLanguageTheCommandOnlySaves) {
    testing::TempFolder other;
    SimPlatform desk(other.Path());
    Program fresh(desk);
    desk.AddJoystick("Pad", 2);
    fresh.Start();
    EXPECT_TRUE(fresh.RunMenuCommand("mnuLingua"));
    EXPECT_TRUE(desk.dialogs.empty());
    // The country's language was chosen at the start, though no file of it
    // could be read; its name is saved.
    EXPECT_EQ(testing::ReadFile(other.File("Gimbalo.ini")),
              "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
    EXPECT_EQ(fresh.mainWindow.optionsItem.Caption(), "") << "captions come from the empty table";
    EXPECT_EQ(fresh.mainWindow.separator1.Caption(), "-");
}

}  // namespace
}  // namespace gimbalo
