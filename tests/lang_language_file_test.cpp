// Language files loaded into the string table from real files, as the
// program finds them in its language folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/language_file.h"
#include "platform/sim/sim_platform.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

// The three leading characters of line `n`: its number's last two digits
// and a blank.
std::string Lead(int n) {
    return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10), ' '};
}

// `count` lines "NN <prefix> N" ended by CR LF; NN is the line number's last
// two digits.
std::string NumberedLines(int count, const std::string& prefix) {
    std::string text;
    for (int n = 1; n <= count; ++n) {
        text += Lead(n) + prefix + " " + std::to_string(n) + "\r\n";
    }
    return text;
}

class LanguageFileTest : public ::testing::Test {
protected:
    LanguageFileTest() : sim(folder.Path()) {}

    void Ship(const std::string& name, const std::string& bytes) {
        testing::WriteFile(folder.Path() + "/Lang/" + name, bytes);
    }
    void Load(const std::string& name) { LoadLanguageFile(sim, name, table); }

    testing::TempFolder folder;
    SimPlatform sim;
    LangTable table;
};

TEST_F(LanguageFileTest, LineNumberGivesTheEntryAndThreeCharactersGo) {
    Ship("Test.lng", "01 &Ok\r\nxyz&Annulla\r\n03   blanks kept  \r\n7zzfirst\r\n");
    Load("Test.lng");
    EXPECT_EQ(table[0], "");
    EXPECT_EQ(table[1], "&Ok");
    EXPECT_EQ(table[2], "&Annulla");
    EXPECT_EQ(table[3], "  blanks kept  ");
    EXPECT_EQ(table[4], "first");  // out-of-order numbers are not read
    EXPECT_EQ(table[5], "");
}

TEST_F(LanguageFileTest, ShortFileAfterLongOneKeepsTheLaterEntries) {
    Ship("Long.lng", NumberedLines(29, "old"));
    Ship("Short.lng", NumberedLines(10, "new"));
    Load("Long.lng");
    Load("Short.lng");
    EXPECT_EQ(table[1], "new 1");
    EXPECT_EQ(table[10], "new 10");
    EXPECT_EQ(table[11], "old 11");
    EXPECT_EQ(table[29], "old 29");
    EXPECT_EQ(table[30], "");
}

TEST_F(LanguageFileTest, ShortLinesTakeTheirNumberAndChangeLittle) {
    Ship("Old.lng", NumberedLines(8, "old"));
    Load("Old.lng");
    // Lines 2 to 5: empty, one, two and three characters.
    Ship("New.lng", "01 one\r\n\r\nx\r\nxy\r\nxyz\r\n06 six\r\n");
    Load("New.lng");
    const std::vector<std::string> expected = {"", "one", "old 2", "old 3", "",
                                               "", "six", "old 7", "old 8"};
    for (std::size_t n = 0; n < expected.size(); ++n)
        EXPECT_EQ(table[n], expected[n]) << "entry " << n;
}

TEST_F(LanguageFileTest, OnlyTheFirstHundredLinesAreUsed) {
    Ship("Long.lng", NumberedLines(120, "line"));
    Load("Long.lng");
    EXPECT_EQ(table[1], "line 1");
    EXPECT_EQ(table[100], "line 100");
    EXPECT_EQ(table.size(), 101u);
}

TEST_F(LanguageFileTest, EveryKindOfLineEndEndsALine) {
    struct Case {
        std::string bytes;
        std::vector<std::string> entries;  // entries 1 onwards
        const char* what;
    } cases[] = {
        {"01 a\r\n02 b\r\n", {"a", "b", ""}, "CR LF"},
        {"01 a\r02 b\r", {"a", "b", ""}, "CR alone"},
        {"01 a\n02 b\n", {"a", "b", ""}, "LF alone"},
        {"01 a\r\n02 b", {"a", "b", ""}, "last line without an end"},
        {"01 a\r\r\n03 c", {"a", "", "c"}, "CR then CR LF: an empty line between"},
        {"01 a\n\r03 c", {"a", "", "c"}, "LF then CR: two ends"},
    };
    for (const Case& c : cases) {
        table = {};
        Ship("Ends.lng", c.bytes);
        Load("Ends.lng");
        for (std::size_t n = 0; n < c.entries.size(); ++n)
            EXPECT_EQ(table[n + 1], c.entries[n]) << c.what << ", entry " << n + 1;
    }
}

TEST_F(LanguageFileTest, FileThatCannotBeOpenedChangesNothing) {
    Ship("Old.lng", NumberedLines(29, "old"));
    Load("Old.lng");
    const LangTable before = table;
    Load("Missing.lng");
    EXPECT_EQ(table, before);
    Load("");  // the language folder itself
    EXPECT_EQ(table, before);
}

TEST_F(LanguageFileTest, FilesFromEitherSystemGiveTheProgramsText) {
    struct Case {
        bool utf8Program;
        std::string bytes;
        std::vector<std::string> entries;  // entries 1 onwards
        const char* what;
    } cases[] = {
        {true,
         "20 Velocit\xE0\r\n05 \x85\r\n",
         {"Velocit\xC3\xA0", "\xE2\x80\xA6"},
         "Windows-1252 bytes become UTF-8"},
        {true,
         "\xEF\xBB\xBF"
         "01 &Ok\r\n02 Velocit\xC3\xA0\r\n",
         {"&Ok", "Velocit\xC3\xA0"},
         "byte-order mark is not a leading character"},
        // Characters are counted, not bytes: "é" and "…" are one each.
        {true,
         "\xC3\xA9\xC3\xA9\xC3\xA9Text\r\n"  // three two-byte characters lead
         "\xE2\x80\xA6\r\n"                  // one character: entry kept
         "\xC3\xA9\xC3\xA9\r\n",             // two characters: entry emptied
         {"Text", "old 2", ""},
         "UTF-8 characters"},
        {false,
         "20 Velocit\xE0\r\n\xC3\xA9\xC3\xA9Text\r\n",
         {"Velocit\xE0", "\xA9Text"},
         "ANSI program: bytes are characters"},
    };
    for (const Case& c : cases) {
        sim.SetTextIsUtf8(c.utf8Program);
        table = {};
        Ship("Old.lng", NumberedLines(3, "old"));
        Load("Old.lng");
        Ship("Case.lng", c.bytes);
        Load("Case.lng");
        for (std::size_t n = 0; n < c.entries.size(); ++n)
            EXPECT_EQ(table[n + 1], c.entries[n]) << c.what << ", entry " << n + 1;
    }
}

TEST_F(LanguageFileTest, SubfolderNamesReadFromTheLanguageFolder) {
    Ship("extra/Deutsch.lng", "01 &OK\r\n");
    for (const char* name : {"extra/Deutsch.lng", "extra\\Deutsch.lng"}) {
        table = {};
        Load(name);
        EXPECT_EQ(table[1], "&OK") << name;
    }
    EXPECT_EQ(LanguageFilePath(sim, "extra\\Deutsch.lng"),
              folder.Path() + "/Lang/extra/Deutsch.lng");
    sim.SetPathSeparator('\\');
    EXPECT_EQ(LanguageFilePath(sim, "extra\\Deutsch.lng"),
              folder.Path() + "\\Lang\\extra\\Deutsch.lng");
}

TEST_F(LanguageFileTest, TheLanguageInUseFillsTheTableUpToItsLastEntry) {
    Ship("Italiano.lng", NumberedLines(29, "testo"));
    Load("Italiano.lng");
    EXPECT_EQ(table[29], "testo 29");
}

}  // namespace
}  // namespace gimbalo
