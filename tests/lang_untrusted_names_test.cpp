// Language file names and files that the user, the settings file or a file
// dialog hand over: only files inside the language folder are read, never a
// pipe or a device, never more than the program reads of a file, and a name
// the settings file cannot hold is refused.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "core/file_io.h"
#include "lang/language_choice.h"
#include "lang/language_file.h"
#include "lang/translation_page.h"
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

TEST_F(UntrustedLanguageFileTest, NamesThatLeaveTheFolderAndFilesThatAreNoFilesLoadNothing) {
    WriteLanguage("pipe.lng", "");
    std::filesystem::remove(Path("Lang/pipe.lng"));
    ASSERT_EQ(::mkfifo(Path("Lang/pipe.lng").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", Path("Lang/zero.lng"));
    WriteLanguage("limit.lng", "01 at the limit\r\n" + std::string(kMaxFileBytes - 17, ' '));
    WriteLanguage("long.lng", "01 too long\r\n" + std::string(kMaxFileBytes, ' '));
    struct Case {
        std::string name;
        const char* entry1;  // after English was loaded
    } cases[] = {
        {"extra/inside.lng", "IN1"}, {"extra\\inside.lng", "IN1"},      {"../outside.lng", "E1"},
        {Path("outside.lng"), "E1"}, {"extra/../../outside.lng", "E1"}, {"pipe.lng", "E1"},
        {"zero.lng", "E1"},          {"limit.lng", "at the limit"},     {"long.lng", "E1"},
    };
    for (const Case& c : cases) {
        LoadLanguageFile(sim, "English.lng", program.LangText);
        LoadLanguageFile(sim, c.name, program.LangText);
        EXPECT_EQ(program.LangText[1], c.entry1) << c.name;
    }
}

TEST_F(UntrustedLanguageFileTest, AStoredNameThatLeavesTheFolderStartsLikeAMissingFile) {
    sim.AddJoystick("Pad", 4);
    WriteSettings("1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\n../../../../../../../../../../dev/zero\r\n");
    program.Start();
    EXPECT_FALSE(sim.ProgramEnded());
    EXPECT_EQ(program.main.Timer1.Interval(), 5);
    EXPECT_EQ(program.LangText[7], "") << "nothing loaded";
    EXPECT_EQ(program.settings.LangFileName, "../../../../../../../../../../dev/zero");
}

TEST_F(UntrustedLanguageFileTest, AStoredNameWithALineBreakLeavesTheChoiceToTheCountry) {
    sim.AddJoystick("Pad", 4);
    WriteSettings("1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\n\"Eng\r\nlish.lng\"\r\n");
    program.Start();
    EXPECT_EQ(program.settings.LangFileName, "English.lng");
    EXPECT_EQ(program.main.mnuDef.Caption(), "E7");
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

TEST_F(UntrustedLanguageFileTest, AReferenceFileThatIsNoFileGivesThePageNoLines) {
    WriteLanguage("Italiano.lng", LanguageFileText("I", {}, 3));
    const auto rows = [this] {
        WriteTranslationPage(sim);
        const std::string page = testing::ReadFile(TranslationPagePath(sim));
        std::size_t count = 0;
        for (std::size_t at = page.find("name=\"Traduzione"); at != std::string::npos;
             at = page.find("name=\"Traduzione", at + 1))
            ++count;
        return count;
    };
    ASSERT_EQ(rows(), 29u);
    std::filesystem::remove(Path("Lang/English.lng"));
    ASSERT_EQ(::mkfifo(Path("Lang/English.lng").c_str(), 0644), 0);
    EXPECT_EQ(rows(), 3u) << "a pipe";
    std::filesystem::remove(Path("Lang/English.lng"));
    WriteLanguage("English.lng", std::string(kMaxFileBytes + 1, '\n'));
    EXPECT_EQ(rows(), 3u) << "a file longer than the program reads";
}

}  // namespace
}  // namespace gimbalo
