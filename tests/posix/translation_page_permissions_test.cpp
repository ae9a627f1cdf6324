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

namespace fs = std::filesystem;

TEST(TranslationPageFolderTest, AWriteTheFolderRefusesGoesInPlaceOrLeavesThePageWhole) {
    struct Case {
        const char* what;
        bool pageWritable;
        bool written;  // else the earlier page stays as it was
    } cases[] = {{"a writable page", true, true}, {"a read-only page", false, false}};
    for (const Case& c : cases) {
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
        // No new file can be made in the folder.
        fs::permissions(folder.Path(), fs::perms::owner_write, fs::perm_options::remove);
        if (!c.pageWritable)
            fs::permissions(page, fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_EQ(testing::RunUnprivileged([&] {
                      SimPlatform sim(folder.Path());
                      return std::string(WriteTranslationPage(sim) ? "written" : "not written");
                  }),
                  c.written ? "written" : "not written")
            << c.what;
        const std::string now = testing::ReadFile(page);
        if (c.written)
            EXPECT_NE(now.find("later"), std::string::npos) << c.what;
        else
            EXPECT_EQ(now, earlier) << c.what;
    }
}

}  // namespace
}  // namespace gimbalo
