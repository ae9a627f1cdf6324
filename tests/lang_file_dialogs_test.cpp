// The open and save dialogs as a caller sees them: what the desktop is asked
// and what comes back.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "lang/file_dialogs.h"
#include "platform/forms.h"
#include "platform/sim/sim_platform.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

using Paths = std::vector<std::string>;

class FileDialogTest : public ::testing::Test {
protected:
    FileDialogTest() : sim(folder.Path()) {}
    testing::TempFolder folder;
    SimPlatform sim;
    Form owner{"Gimbalo"};
};

TEST_F(FileDialogTest, AsksTheDesktopWithTheCallersChoices) {
    uint32_t flags = 0x4;
    sim.QueueDialogAnswer(std::string("/lang/English.lng"));
    const Paths chosen = ShowFileDialog(sim, {.Flags = &flags,
                                              .InitDir = "/opt/gimbalo/Lang",
                                              .Filter = std::string("Language\0*.lng\0", 15),
                                              .FilterIndex = 2,
                                              .DefaultExt = "lng",
                                              .FileName = "Italiano.lng",
                                              .DialogTitle = "Language: English",
                                              .OwnerWindow = owner,
                                              .OpenFile = true});
    EXPECT_EQ(chosen, Paths{"/lang/English.lng"});
    ASSERT_EQ(sim.dialogs.size(), 1u);
    const OPENFILENAME& asked = sim.dialogs[0];
    EXPECT_EQ(asked.hwndOwner, &owner);
    EXPECT_EQ(asked.lpstrFilter, std::string("Language\0*.lng\0", 15));
    EXPECT_EQ(asked.lpstrCustomFilter, std::string(255, '\0'));
    EXPECT_EQ(asked.nMaxCustFilter, 255u);
    EXPECT_EQ(asked.nFilterIndex, 2u);
    EXPECT_EQ(asked.lpstrFile, "Italiano.lng" + std::string(256 - 12, '\0'));
    EXPECT_EQ(asked.nMaxFile, 256u);
    EXPECT_EQ(asked.lpstrFileTitle, std::string(256, '\0'));
    EXPECT_EQ(asked.nMaxFileTitle, 256u);
    EXPECT_EQ(asked.lpstrInitialDir, "/opt/gimbalo/Lang");
    EXPECT_EQ(asked.lpstrTitle, "Language: English");
    EXPECT_EQ(asked.Flags, 0x4u);
    EXPECT_EQ(asked.lpstrDefExt, "lng");
}

TEST_F(FileDialogTest, OmittedChoicesTakeTheirDefaults) {
    const Paths chosen = ShowFileDialog(sim, {.OwnerWindow = owner});
    EXPECT_TRUE(chosen.empty());
    ASSERT_EQ(sim.dialogs.size(), 1u);
    const OPENFILENAME& asked = sim.dialogs[0];
    EXPECT_EQ(asked.lpstrInitialDir, std::filesystem::current_path().string());
    EXPECT_EQ(asked.lpstrFilter, "");
    EXPECT_EQ(asked.nFilterIndex, 1u);
    EXPECT_EQ(asked.lpstrFile, std::string(256, '\0'));
    EXPECT_EQ(asked.Flags, 0u);
    EXPECT_EQ(asked.lpstrDefExt, "");
    EXPECT_EQ(asked.lpstrTitle, "");
}

TEST_F(FileDialogTest, OpenOrSaveDialogAsAsked) {
    ShowFileDialog(sim, {.OwnerWindow = owner, .OpenFile = true});
    ShowFileDialog(sim, {.OwnerWindow = owner, .OpenFile = false});
    ShowFileDialog(sim, {.OwnerWindow = owner});
    EXPECT_EQ(sim.dialogsOpen, (std::vector<bool>{true, false, false}));
}

TEST_F(FileDialogTest, LongInitialNameIsCutToTheBuffer) {
    struct Case {
        std::string name;
        std::string shown;
        const char* what;
    } cases[] = {
        {std::string(300, 'a'), std::string(256, 'a'), "ASCII name"},
        {std::string(256, 'b'), std::string(256, 'b'), "name that just fits"},
        // 300 two-byte letters: 256 whole letters, none split.
        {[] {
             std::string s;
             for (int i = 0; i < 300; ++i) s += "\xC3\xA9";
             return s;
         }(),
         [] {
             std::string s;
             for (int i = 0; i < 256; ++i) s += "\xC3\xA9";
             return s;
         }(),
         "accented name"},
    };
    for (const Case& c : cases) {
        sim.dialogs.clear();
        ShowFileDialog(sim, {.FileName = c.name, .OwnerWindow = owner});
        ASSERT_EQ(sim.dialogs.size(), 1u);
        EXPECT_EQ(sim.dialogs[0].lpstrFile, c.shown) << c.what;
    }
}

TEST_F(FileDialogTest, ResultsForEachKindOfAnswer) {
    struct Case {
        std::optional<std::string> answer;
        uint32_t answerFlags;
        Paths chosen;
        uint32_t flagsAfter;
        const char* what;
    } cases[] = {
        {std::string("/home/u/Lang/x.lng"), 0, {"/home/u/Lang/x.lng"}, 0x1, "one file"},
        {std::string("/home/u/a.lng\0\0", 15),
         OFN_ALLOWMULTISELECT,
         {"/home/u/a.lng"},
         0x201,
         "multiple selection of one file"},
        {std::string("/home/u\0a.lng\0b.lng\0\0", 21),
         OFN_ALLOWMULTISELECT,
         {"/home/u/a.lng", "/home/u/b.lng"},
         0x201,
         "multiple selection of two files"},
        {std::string("/\0a.lng\0\0", 9),
         OFN_ALLOWMULTISELECT,
         {"/a.lng"},
         0x201,
         "folder already ending in the separator"},
        {std::string("/d\0a.lng\0\0old name\0", 19),
         OFN_ALLOWMULTISELECT,
         {"/d/a.lng"},
         0x201,
         "the list ends at two NULs"},
        {std::nullopt, 0, {}, 0x1, "cancel leaves the flags"},
        {std::string(257, 'x'), 0, {}, 0x1, "answer too long for the buffer fails as a cancel"},
    };
    for (const Case& c : cases) {
        uint32_t flags = 0x1;
        sim.QueueDialogAnswer(c.answer, c.answerFlags);
        EXPECT_EQ(ShowFileDialog(sim, {.Flags = &flags, .OwnerWindow = owner, .OpenFile = true}),
                  c.chosen)
            << c.what;
        EXPECT_EQ(flags, c.flagsAfter) << c.what;
    }
}

TEST_F(FileDialogTest, MultipleSelectionJoinsWithThePlatformsSeparator) {
    sim.SetPathSeparator('\\');
    sim.QueueDialogAnswer(std::string("C:\\Lang\0a.lng\0b.lng\0\0", 21), OFN_ALLOWMULTISELECT);
    EXPECT_EQ(ShowFileDialog(sim, {.OwnerWindow = owner}),
              (Paths{"C:\\Lang\\a.lng", "C:\\Lang\\b.lng"}));
}

TEST(FileDialogTextTest, TrimAtNulAndAddBackslash) {
    EXPECT_EQ(TrimAtNul(std::string("name\0rest", 9)), "name");
    EXPECT_EQ(TrimAtNul("no nul"), "no nul");
    EXPECT_EQ(TrimAtNul(std::string("\0x", 2)), "");
    EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
    EXPECT_EQ(AddBackslash("C:\\Lang"), "C:\\Lang\\");
    EXPECT_EQ(AddBackslash(""), "\\");
    EXPECT_EQ(AddSeparator("/home/u", '/'), "/home/u/");
    EXPECT_EQ(AddSeparator("/", '/'), "/");
    EXPECT_EQ(AddSeparator("", '/'), "/");
}

}  // namespace
}  // namespace gimbalo
