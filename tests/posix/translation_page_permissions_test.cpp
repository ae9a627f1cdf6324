// The translation page where the user's rights decide: a page that can be
// written neither anew nor in place stays whole; a writable page in a folder
// that takes no new file is written where it is.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "lang/translation_page.h"
#include "platform/sim/sim_platform.h"
#include "tests/posix/unprivileged.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

TEST(TranslationPageFolderTest, FailedWriteLeavesTheEarlierPageWhole) {
    testing::TempFolder folder;
    const std::string page = folder.Path() + "/Invia_Traduzione.html";
    testing::WriteFile(folder.Path() + "/Lang/English.lng", "01 earlier\r\n");
    {
        SimPlatform sim(folder.Path());
        ASSERT_TRUE(WriteTranslationPage(sim));
    }
    const std::string earlier = testing::ReadFile(page);
    testing::WriteFile(folder.Path() + "/Lang/English.lng", "01 later\r\n");
    testing::GiveToUnprivilegedUser(folder.Path());
    testing::GiveToUnprivilegedUser(page);
    // Neither a new file in the folder nor the page itself can be written.
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    std::filesystem::permissions(page, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(testing::RunUnprivileged([&] {
                  SimPlatform sim(folder.Path());
                  return std::string(WriteTranslationPage(sim) ? "written" : "");
              }),
              "");
    EXPECT_EQ(testing::ReadFile(page), earlier);
}

// A page the user may write in a folder that takes no new file is written
// where it is.
TEST(TranslationPageFolderTest, PageInAReadOnlyFolderIsWrittenInPlace) {
    testing::TempFolder folder;
    const std::string page = folder.Path() + "/Invia_Traduzione.html";
    testing::WriteFile(folder.Path() + "/Lang/English.lng", "01 earlier\r\n");
    testing::WriteFile(page, "old page");
    testing::WriteFile(folder.Path() + "/Lang/English.lng", "01 later\r\n");
    testing::GiveToUnprivilegedUser(folder.Path());
    testing::GiveToUnprivilegedUser(page);
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(testing::RunUnprivileged([&] {
                  SimPlatform sim(folder.Path());
                  return std::string(WriteTranslationPage(sim) ? "" : "not written");
              }),
              "");
    EXPECT_NE(testing::ReadFile(page).find("later"), std::string::npos);
}

}  // namespace
}  // namespace gimbalo
