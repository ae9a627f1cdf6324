// Language files that are no files (pipes, devices) or are longer than the
// program reads: nothing is loaded, nothing waits, and the translation page
// takes no lines from them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <utility>

#include "core/file_io.h"
#include "lang/language_file.h"
#include "lang/translation_page.h"
#include "tests/forms_fixture.h"

namespace gimbalo {
namespace {

using testing::LanguageFileText;
using testing::ProgramTest;

class SpecialLanguageFileTest : public ProgramTest {
protected:
    void SetUp() override { WriteLanguage("English.lng", LanguageFileText("E")); }
};

TEST_F(SpecialLanguageFileTest, FilesThatAreNoFilesOrTooLongLoadNothing) {
    ASSERT_EQ(::mkfifo(Path("Lang/pipe.lng").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", Path("Lang/zero.lng"));
    WriteLanguage("limit.lng", "01 at the limit\r\n" + std::string(kMaxFileBytes - 17, ' '));
    WriteLanguage("long.lng", "01 too long\r\n" + std::string(kMaxFileBytes, ' '));
    // Entry 1 after English was loaded, then the file named.
    const std::pair<const char*, const char*> cases[] = {
        {"pipe.lng", "E1"}, {"zero.lng", "E1"}, {"limit.lng", "at the limit"}, {"long.lng", "E1"}};
    for (const auto& [name, entry1] : cases) {
        LoadLanguageFile(sim, "English.lng", program.LangText);
        LoadLanguageFile(sim, name, program.LangText);
        EXPECT_EQ(program.LangText[1], entry1) << name;
    }
}

TEST_F(SpecialLanguageFileTest, AReferenceFileThatIsNoFileGivesThePageNoLines) {
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
