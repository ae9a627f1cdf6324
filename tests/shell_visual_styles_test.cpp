// The visual-styles manifest beside the executable, as the next start of the
// program finds it, and the common controls initialised on every start.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/sim/sim_platform.h"
#include "shell/visual_styles.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

namespace fs = std::filesystem;

std::string ExpectedManifest() {
    return testing::ReadFile(
        (fs::path(__FILE__).parent_path() / "data" / "Gimbalo.exe.manifest").string());
}

class VisualStylesTest : public ::testing::Test {
protected:
    VisualStylesTest() : sim(folder.Path()) { sim.SetExecutable(folder.Path(), "Gimbalo"); }

    std::string ManifestFile() const { return folder.File("Gimbalo.exe.manifest"); }

    testing::TempFolder folder;
    SimPlatform sim;
};

TEST_F(VisualStylesTest, WritesTheManifestByteForByteAndMarksIt) {
    const std::string expected = ExpectedManifest();
    ASSERT_EQ(expected.size(), 773u) << "the expected file itself was changed";

    InitVisualStyles(sim);

    EXPECT_EQ(testing::ReadFile(ManifestFile()), expected);
    ASSERT_EQ(sim.fileAttributes.count(ManifestFile()), 1u);
    EXPECT_EQ(sim.fileAttributes[ManifestFile()], 7u);
    EXPECT_EQ(sim.commonControlsInitialised, 1);
    EXPECT_EQ(ManifestText(), expected);
}

TEST_F(VisualStylesTest, ExistingManifestIsLeftAlone) {
    const std::string own = "<assembly>someone else's</assembly>";
    testing::WriteFile(ManifestFile(), own);
    fs::permissions(ManifestFile(), fs::perms::owner_read | fs::perms::group_read);
    // As the file system keeps them (Windows keeps a read-only bit only).
    const fs::perms permissions = fs::status(ManifestFile()).permissions();
    sim.fileAttributes[ManifestFile()] = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

    InitVisualStyles(sim);
    InitVisualStyles(sim);

    EXPECT_EQ(testing::ReadFile(ManifestFile()), own);
    EXPECT_EQ(sim.fileAttributes[ManifestFile()], FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(fs::status(ManifestFile()).permissions(), permissions);
    EXPECT_EQ(sim.commonControlsInitialised, 2);
}

TEST_F(VisualStylesTest, SecondStartKeepsTheFileOfTheFirst) {
    InitVisualStyles(sim);
    const auto written = fs::last_write_time(ManifestFile());
    sim.fileAttributes.clear();

    InitVisualStyles(sim);

    EXPECT_EQ(fs::last_write_time(ManifestFile()), written);
    EXPECT_TRUE(sim.fileAttributes.empty()) << "the attributes were set again";
    EXPECT_EQ(sim.commonControlsInitialised, 2);
}

TEST_F(VisualStylesTest, FolderThatCannotBeWrittenGivesNoFileAndAStartAllTheSame) {
    // A folder that is not there and a "folder" that is a file: neither can
    // take the manifest, whoever runs the test.
    testing::WriteFile(folder.File("plain-file"), "x");
    const std::string folders[] = {folder.File("missing"), folder.File("plain-file")};
    int starts = 0;
    for (const std::string& exeFolder : folders) {
        SCOPED_TRACE(exeFolder);
        sim.SetExecutable(exeFolder, "Gimbalo");
        InitVisualStyles(sim);
        ++starts;
        EXPECT_FALSE(fs::exists(exeFolder + "/Gimbalo.exe.manifest"));
        EXPECT_TRUE(sim.fileAttributes.empty());
        EXPECT_TRUE(sim.messageBoxes.empty());
        EXPECT_EQ(sim.commonControlsInitialised, starts);
    }
}

TEST_F(VisualStylesTest, FolderEndingInTheSeparatorGetsNoSecondOne) {
    sim.SetExecutable(folder.Path() + "/", "Gimbalo");
    InitVisualStyles(sim);

    EXPECT_EQ(testing::ReadFile(ManifestFile()), ExpectedManifest());
    ASSERT_EQ(sim.fileAttributes.size(), 1u);
    EXPECT_EQ(sim.fileAttributes.begin()->first, folder.Path() + "/Gimbalo.exe.manifest");
}

TEST_F(VisualStylesTest, ManifestPathFollowsTheExecutable) {
    struct Case {
        char separator;
        const char* folder;
        const char* name;
        const char* expected;
    } cases[] = {
        {'\\', "C:\\", "Gimbalo", "C:\\Gimbalo.exe.manifest"},
        {'\\', "C:\\Programmi\\Gimbalo", "Gimbalo", "C:\\Programmi\\Gimbalo\\Gimbalo.exe.manifest"},
        {'\\', "D:\\Tools\\", "Mouse Pad", "D:\\Tools\\Mouse Pad.exe.manifest"},
        {'/', "/opt/gimbalo", "gimbalo", "/opt/gimbalo/gimbalo.exe.manifest"},
        {'/', "", "gimbalo", "/gimbalo.exe.manifest"},
    };
    for (const Case& c : cases) {
        sim.SetPathSeparator(c.separator);
        sim.SetExecutable(c.folder, c.name);
        EXPECT_EQ(ManifestPath(sim), std::optional<std::string>(c.expected))
            << "executable " << sim.ExecutablePath();
    }
}

TEST_F(VisualStylesTest, DesktopWithoutManifestsOnlyInitialisesTheControls) {
    sim.SetUsesVisualStylesManifest(false);
    InitVisualStyles(sim);

    EXPECT_FALSE(fs::exists(ManifestFile()));
    EXPECT_TRUE(sim.fileAttributes.empty());
    EXPECT_EQ(sim.commonControlsInitialised, 1);
}

}  // namespace
}  // namespace gimbalo
