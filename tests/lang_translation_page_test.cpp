// The translation page as the user's browser receives it, written from the
// reference language files in the language folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lang/text_file.h"
#include "lang/translation_page.h"
#include "platform/sim/sim_platform.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

// The three leading characters of line `n`: its number's last two digits
// and a blank.
std::string Lead(int n) {
    return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10), ' '};
}

std::string Expected(const std::string& name) {
    return testing::ReadFile(std::string(GIMBALO_DATA_DIR) + "/../tests/data/lang/" + name);
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// English: UTF-8 (plain ASCII but for one en dash), 29 lines with markup,
// short lines and blanks. Italiano: Windows-1252, 27 lines.
std::string EnglishFile() {
    std::vector<std::string> lines;
    for (int n = 1; n <= 29; ++n) {
        lines.push_back(Lead(n) + std::string("English text ") + std::to_string(n));
    }
    lines[2] = "03 a<b & c";
    lines[3] = "04 say \"hi\" > there";
    lines[4] = "";
    lines[5] = "06 ";
    lines[6] = "7";
    lines[7] = "08  spaced  ";
    lines[9] = "10 a \xE2\x80\x93 b";
    return Lines(lines);
}

std::string ItalianoFile() {
    std::vector<std::string> lines;
    for (int n = 1; n <= 27; ++n) {
        lines.push_back(Lead(n) + std::string("Testo italiano ") + std::to_string(n));
    }
    lines[1] = "02 Velocit\xE0";
    lines[8] = "09 Attendere\x85";
    return Lines(lines);
}

class TranslationPageTest : public ::testing::Test {
protected:
    TranslationPageTest() : sim(folder.Path()) {}
    void Ship(const std::string& name, const std::string& bytes) {
        testing::WriteFile(folder.Path() + "/Lang/" + name, bytes);
    }
    std::string Page() { return testing::ReadFile(folder.Path() + "/Invia_Traduzione.html"); }

    testing::TempFolder folder;
    SimPlatform sim;
};

TEST_F(TranslationPageTest, ShowsBothReferenceTextsRowByRow) {
    Ship("English.lng", EnglishFile());
    Ship("Italiano.lng", ItalianoFile());
    ShowTranslationPage(sim);
    EXPECT_EQ(Page(), Expected("translation_page_29_27.html"));
    ASSERT_EQ(sim.startedPrograms.size(), 1u);
    EXPECT_EQ(sim.startedPrograms[0].commandLine,
              "explorer " + folder.Path() + "/Invia_Traduzione.html");
    EXPECT_EQ(sim.startedPrograms[0].showStyle, SW_SHOWMAXIMIZED);
}

TEST_F(TranslationPageTest, WithoutReferenceFilesHasOnlyTheHeader) {
    ShowTranslationPage(sim);
    EXPECT_EQ(Page(), Expected("translation_page_empty.html"));
    EXPECT_EQ(sim.startedPrograms.size(), 1u);
}

TEST_F(TranslationPageTest, RowsBeyondTheKeptLinesHaveNoReferenceCells) {
    std::string english;
    for (int n = 1; n <= 205; ++n) english += "xx line " + std::to_string(n) + "\r\n";
    Ship("English.lng", english);
    ASSERT_TRUE(WriteTranslationPage(sim));
    const std::vector<std::string> lines = SplitLines(Page());
    // 9 header lines, 201 rows of four lines, 4 rows of two lines, the end.
    ASSERT_EQ(lines.size(), 9u + 201u * 4u + 4u * 2u + 1u);
    const std::size_t row201 = 9 + 200 * 4;
    EXPECT_EQ(lines[row201 + 1], "<TD>line 201</TD>");
    EXPECT_EQ(lines[row201 + 2], "<TD>...........</TD>");
    EXPECT_EQ(
        lines[row201 + 4],
        "<TR><TD><STRONG><EM><FONT COLOR=#ff0000><CENTER>202</CENTER></FONT></EM></STRONG></TD>");
    EXPECT_EQ(lines[row201 + 5], "<TD><input type=text name=\"Traduzione201\"></TD></TR>");
    EXPECT_EQ(lines[lines.size() - 2], "<TD><input type=text name=\"Traduzione204\"></TD></TR>");
}

TEST_F(TranslationPageTest, AnsiProgramWritesTheBytesItRead) {
    sim.SetTextIsUtf8(false);
    Ship("Italiano.lng", "01 Velocit\xE0 <b>\r\n");
    ASSERT_TRUE(WriteTranslationPage(sim));
    const std::vector<std::string> lines = SplitLines(Page());
    ASSERT_GT(lines.size(), 11u);
    EXPECT_EQ(lines[10], "<TD>...........</TD>");
    EXPECT_EQ(lines[11], "<TD>Velocit\xE0 &lt;b&gt;</TD>");
}

TEST_F(TranslationPageTest, RebuildsThePageEachTime) {
    Ship("English.lng", "01 first\r\n02 second\r\n");
    ShowTranslationPage(sim);
    Ship("English.lng", "01 only\r\n");
    ShowTranslationPage(sim);
    const std::string page = Page();
    EXPECT_NE(page.find("<TD>only</TD>"), std::string::npos);
    EXPECT_EQ(page.find("second"), std::string::npos);
    EXPECT_EQ(page.find("Traduzione1\""), std::string::npos);
}

TEST(TranslationPageFolderTest, PathWithABlankOrTabIsQuotedForTheExplorer) {
    for (const char* name : {"/Program Files", "/Program\tFiles"}) {
        testing::TempFolder folder;
        const std::string spaced = folder.Path() + name;
        std::error_code refused;
        std::filesystem::create_directories(spaced, refused);
        // Windows allows no tab in a name, so no such folder can hold the page.
        if (refused && std::string(name).find('\t') != std::string::npos) continue;
        ASSERT_FALSE(refused) << name << ": " << refused.message();
        SimPlatform sim(spaced);
        ShowTranslationPage(sim);
        EXPECT_FALSE(testing::ReadFile(spaced + "/Invia_Traduzione.html").empty()) << name;
        ASSERT_EQ(sim.startedPrograms.size(), 1u) << name;
        EXPECT_EQ(sim.startedPrograms[0].commandLine,
                  "explorer \"" + spaced + "/Invia_Traduzione.html\"")
            << name;
    }
}

TEST(TranslationPageFolderTest, PageThatCannotBeWrittenIsStillOpened) {
    testing::TempFolder folder;
    // A folder where the page should be: the page cannot take its place.
    std::filesystem::create_directories(folder.Path() + "/Invia_Traduzione.html/inside");
    SimPlatform sim(folder.Path());
    EXPECT_FALSE(WriteTranslationPage(sim));
    ShowTranslationPage(sim);
    ASSERT_EQ(sim.startedPrograms.size(), 1u);
    EXPECT_EQ(sim.startedPrograms[0].commandLine,
              "explorer " + folder.Path() + "/Invia_Traduzione.html");
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(TranslationPageFolderTest, FailedWriteLeavesTheEarlierPageWhole) {
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    testing::WriteFile(folder.Path() + "/Lang/English.lng", "01 earlier\r\n");
    ASSERT_TRUE(WriteTranslationPage(sim));
    const std::string earlier = testing::ReadFile(folder.Path() + "/Invia_Traduzione.html");
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    if (std::filesystem::exists(folder.Path() + "/probe") ||
        std::ofstream(folder.Path() + "/probe")) {
        GTEST_SKIP() << "this user writes into read-only folders";
    }
    testing::WriteFile(folder.Path() + "/Lang/English.lng", "01 later\r\n");
    EXPECT_FALSE(WriteTranslationPage(sim));
    EXPECT_EQ(testing::ReadFile(folder.Path() + "/Invia_Traduzione.html"), earlier);
}

}  // namespace
}  // namespace gimbalo
