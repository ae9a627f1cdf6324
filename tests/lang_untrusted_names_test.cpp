// Language file names that the user, the settings file or a file dialog hand
// over: only files inside the language folder are read, and a name the
// settings file cannot hold is refused.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "lang/language_choice.h"
#include "lang/language_file.h"
#include "tests/forms_fixture.h"

namespace gimbalo {
namespace {

using testing::LanguageFileText;
using testing::ProgramTest;

TEST(LanguageFileNameTest, OnlyNamesInsideTheLanguageFolderAreFiles) {
    const std::string accepted[] = {
        "English.lng",
        "extra/Deutsch.lng",
        "extra\\Deutsch.lng",
        "a/b/c.lng",
        ".hidden.lng",
        "x..lng",
        "Deutsch, neu.lng",
        " spaced.lng ",
        "Fran\xC3\xA7"
        "ais.lng",
    };
    const std::string refused[] = {
        "",
        "/etc/passwd",
        "\\x.lng",
        "../x.lng",
        "..\\x.lng",
        "extra/../../x.lng",
        "../../../../../../../../../../dev/zero",
        "./x.lng",
        "extra//x.lng",
        "extra/",
        ".. /x.lng",  // Windows drops trailing dots and blanks: ".."
        "...",
        "C:x.lng",
        "C:\\x.lng",
        "x.lng:stream",
        "x\n.lng",
        "x\r.lng",
        std::string("x\0.lng", 6),
    };
    for (const std::string& name : accepted) EXPECT_TRUE(IsLanguageFileName(name)) << name;
    for (const std::string& name : refused) EXPECT_FALSE(IsLanguageFileName(name)) << name;
}

class UntrustedLanguageFileTest : public ProgramTest {
protected:
    void SetUp() override {
        WriteLanguage("English.lng", LanguageFileText("E", {{26, "Language..."}}));
        // Reached only through names that leave the language folder.
        testing::WriteFile(Path("outside.lng"), LanguageFileText("OUT"));
        testing::WriteFile(Path("Lang/extra/inside.lng"), LanguageFileText("IN"));
    }
};

TEST_F(UntrustedLanguageFileTest, ANameThatLeavesTheFolderLoadsNothing) {
    const std::pair<std::string, const char*> cases[] = {
        {"extra/inside.lng", "IN1"},       {"extra\\inside.lng", "IN1"}, {"../outside.lng", "E1"},
        {"extra/../../outside.lng", "E1"}, {Path("outside.lng"), "E1"},
    };
    for (const auto& [name, entry1] : cases) {
        LoadLanguageFile(sim, "English.lng", program.LangText);
        LoadLanguageFile(sim, name, program.LangText);
        EXPECT_EQ(program.LangText[1], entry1) << name;
    }
}

TEST_F(UntrustedLanguageFileTest, AStoredNameThatLeavesTheFolderStartsLikeAMissingFile) {
    sim.AddJoystick("Pad", 4);
    WriteSettings("1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\n../../../../../../../../../../dev/zero\r\n");
    program.Start();
    EXPECT_FALSE(sim.ProgramEnded());
    EXPECT_EQ(program.mainWindow.pollingTimer.Interval(), 5);
    EXPECT_EQ(program.LangText[7], "") << "nothing loaded";
    EXPECT_EQ(program.settings.LangFileName, "../../../../../../../../../../dev/zero");
}

TEST_F(UntrustedLanguageFileTest, AStoredNameWithALineBreakLeavesTheChoiceToTheCountry) {
    sim.AddJoystick("Pad", 4);
    WriteSettings("1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\n\"Eng\r\nlish.lng\"\r\n");
    program.Start();
    EXPECT_EQ(program.settings.LangFileName, "English.lng");
    EXPECT_EQ(program.mainWindow.optionsItem.Caption(), "E7");
    program.RunMenuCommand("mnuExit");
    EXPECT_EQ(SettingsText(), "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
}

TEST_F(UntrustedLanguageFileTest, TheDialogsAnswerFollowsTheSameRules) {
    sim.AddJoystick("Pad", 4);
    WriteSettings("1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
    program.Start();
    struct Case {
        std::string chosen;
        const char* name;    // LangFileName afterwards
        const char* entry1;  // what is on show afterwards
    } cases[] = {
        {Path("Lang/extra/inside.lng"), "extra/inside.lng", "IN1"},
        // A name with a line break cannot be saved: the language in use stays.
        {Path("Lang/new\nline.lng"), "extra/inside.lng", "IN1"},
        {Path("Lang/new\rline.lng"), "extra/inside.lng", "IN1"},
        // Taken as a name, read as a missing file.
        {Path("Lang/../outside.lng"), "../outside.lng", "IN1"},
        {Path("Lang/English.lng"), "English.lng", "E1"},
    };
    for (const Case& c : cases) {
        sim.QueueDialogAnswer(c.chosen);
        ASSERT_TRUE(program.RunMenuCommand("mnuLingua"));
        EXPECT_EQ(program.settings.LangFileName, c.name) << c.chosen;
        EXPECT_EQ(program.LangText[1], c.entry1) << c.chosen;
        EXPECT_EQ(SettingsText(),
                  std::string("1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\n") + c.name + "\r\n")
            << c.chosen;
    }
}

}  // namespace
}  // namespace gimbalo
