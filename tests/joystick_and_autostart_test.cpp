// Which joysticks the program finds, what it learns of the one in use, and
// the autostart entry it keeps.
#include <gtest/gtest.h>

#include "options/autostart.h"
#include "options/joystick.h"
#include "platform/sim/sim_platform.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

TEST(Joysticks, CountsEveryAnsweringDeviceFrom0To10GapsIncluded) {
    struct Case {
        std::vector<bool> present;  // device numbers 0, 1, ...
        int count;
    } cases[] = {
        {{}, 0},
        {{true}, 1},
        {{true, false, false, true}, 2},
        {{false, true, false, true}, 2},
        {std::vector<bool>(11, true), 11},
        {std::vector<bool>(13, true), 11},  // devices beyond 10 are not probed
    };
    for (const Case& c : cases) {
        testing::TempFolder folder;
        SimPlatform sim(folder.Path());
        for (std::size_t i = 0; i < c.present.size(); ++i) {
            sim.AddJoystick("Pad " + std::to_string(i), 4);
            sim.Joystick(static_cast<int>(i)).present = c.present[i];
        }
        EXPECT_EQ(CountJoysticks(sim), c.count);
    }
}

TEST(Joysticks, CapabilitiesOfTheJoystickInUse) {
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    sim.AddJoystick("First pad", 4);
    sim.AddJoystick("Second pad with twelve buttons", 12);

    JOYCAPS caps;
    ReadJoystickCaps(sim, 1, caps);
    EXPECT_EQ(caps.szPname, "Second pad with twelve buttons");
    EXPECT_EQ(caps.wNumButtons, 12u);

    // A device that does not answer, or an index of -1 (no joystick chosen),
    // leaves the caller's record as it was.
    for (int16_t index : {int16_t{2}, int16_t{-1}}) {
        JOYCAPS zeros;
        ReadJoystickCaps(sim, index, zeros);
        EXPECT_EQ(zeros.szPname, "");
        EXPECT_EQ(zeros.wNumButtons, 0u);
        ReadJoystickCaps(sim, index, caps);
        EXPECT_EQ(caps.szPname, "Second pad with twelve buttons");
    }
    sim.Joystick(0).present = false;
    JOYCAPS gone;
    ReadJoystickCaps(sim, 0, gone);
    EXPECT_EQ(gone.wNumButtons, 0u);
}

TEST(Autostart, FlagOneWritesTheEntryAnythingElseDeletesIt) {
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    sim.SetExecutable("/opt/my apps/gimbalo", "Gimbalo");
    SyncAutostart(sim, 1);
    SyncAutostart(sim, 1);
    ASSERT_EQ(sim.autostart.size(), 1u);
    EXPECT_EQ(sim.autostart["Gimbalo"], "/opt/my apps/gimbalo/Gimbalo");
    for (int16_t flag : {int16_t{0}, int16_t{2}, int16_t{-1}}) {
        SyncAutostart(sim, 1);
        SyncAutostart(sim, flag);
        EXPECT_TRUE(sim.autostart.empty()) << "flag " << flag;
    }
    SyncAutostart(sim, 0);  // nothing there: no change, no complaint
    EXPECT_TRUE(sim.autostart.empty());
}

TEST(Autostart, FollowsTheExecutableWhenTheProgramMoves) {
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    sim.SetExecutable("/old/place", "Gimbalo");
    SyncAutostart(sim, 1);
    sim.SetExecutable("/new/place", "Gimbalo");
    SyncAutostart(sim, 1);
    EXPECT_EQ(sim.autostart["Gimbalo"], "/new/place/Gimbalo");
}

}  // namespace
}  // namespace gimbalo
