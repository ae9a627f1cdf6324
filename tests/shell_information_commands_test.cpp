// The information commands as the desktop sees them: which command line is
// started, and in which window state.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/maker.h"
#include "platform/sim/sim_platform.h"
#include "shell/information_commands.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

class InformationCommandsTest : public ::testing::Test {
protected:
    InformationCommandsTest() : sim(folder.Path()) {}

    testing::TempFolder folder;
    SimPlatform sim;
};

TEST_F(InformationCommandsTest, EachCommandStartsTheExplorerWithItsLineAndStyle) {
    const std::string docs = folder.Path() + "/";
    struct Case {
        const char* item;
        std::function<void(Platform&)> command;
        std::string commandLine;
        int showStyle;
    } cases[] = {
        {"mnuAggiornamenti", OpenUpdatesPage, std::string("explorer ") + kUpdatesPage, 3},
        {"mnuDonazione", OpenDonationPage, std::string("explorer ") + kDonationPage, 3},
        {"mnuLicenza, English", [](Platform& p) { OpenLicence(p, "English.lng"); },
         "Explorer " + docs + "License.txt", 3},
        {"mnuLicenza, Italian", [](Platform& p) { OpenLicence(p, "Italiano.lng"); },
         "Explorer \"" + docs + "Leggere prima dell'uso.txt\"", 3},
        {"mnuVersioni", OpenVersionHistory, "Explorer " + docs + "Versioni.txt", 1},
        {"lblHomePage", OpenHomePage, std::string("explorer ") + kHomePage, 3},
    };
    for (const Case& c : cases) {
        sim.startedPrograms.clear();
        c.command(sim);
        ASSERT_EQ(sim.startedPrograms.size(), 1u) << c.item;
        EXPECT_EQ(sim.startedPrograms[0].commandLine, c.commandLine) << c.item;
        EXPECT_EQ(sim.startedPrograms[0].showStyle, c.showStyle) << c.item;
    }
}

TEST_F(InformationCommandsTest, OnlyExactlyItalianoLngGetsTheItalianReadMe) {
    // The read-me's own name holds blanks, so its path is always quoted.
    const std::string readMe = "Explorer \"" + folder.Path() + "/Leggere prima dell'uso.txt\"";
    const std::string licence = "Explorer " + folder.Path() + "/License.txt";
    struct Case {
        const char* langFile;
        bool italian;
    } cases[] = {
        {"Italiano.lng", true},  {"English.lng", false},
        {"italiano.lng", false}, {"ITALIANO.LNG", false},
        {"Italiano.LNG", false}, {"Italiano.lng ", false},
        {"Italiano", false},     {"", false},
    };
    for (const Case& c : cases) {
        sim.startedPrograms.clear();
        OpenLicence(sim, c.langFile);
        ASSERT_EQ(sim.startedPrograms.size(), 1u);
        EXPECT_EQ(sim.startedPrograms[0].commandLine, c.italian ? readMe : licence)
            << "language file \"" << c.langFile << "\"";
        EXPECT_EQ(sim.startedPrograms[0].showStyle, SW_SHOWMAXIMIZED);
    }
}

TEST(DocumentCommandTest, PathWithABlankIsQuoted) {
    testing::TempFolder base;
    const std::string spaced = base.File("my apps");
    SimPlatform sim(spaced);
    OpenLicence(sim, "English.lng");
    OpenLicence(sim, "Italiano.lng");
    OpenVersionHistory(sim);

    ASSERT_EQ(sim.startedPrograms.size(), 3u);
    EXPECT_EQ(sim.startedPrograms[0].commandLine, "Explorer \"" + spaced + "/License.txt\"");
    EXPECT_EQ(sim.startedPrograms[1].commandLine,
              "Explorer \"" + spaced + "/Leggere prima dell'uso.txt\"");
    EXPECT_EQ(sim.startedPrograms[2].commandLine, "Explorer \"" + spaced + "/Versioni.txt\"");
}

TEST(DocumentCommandTest, UsesThePlatformsSeparator) {
    testing::TempFolder base;
    SimPlatform sim(base.Path());
    sim.SetPathSeparator('\\');
    EXPECT_EQ(DocumentCommand(sim, "Versioni.txt"), "Explorer " + base.Path() + "\\Versioni.txt");
}

}  // namespace
}  // namespace gimbalo
