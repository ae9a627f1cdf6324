// The pointer object: writes round half to even and keep the other axis.
#include <gtest/gtest.h>

#include "core/mouse.h"
#include "platform/sim/sim_platform.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

TEST(Mouse, WritesRoundToTheNearestEvenInteger) {
    struct Case {
        double value;
        int32_t x;
    } cases[] = {{100.5, 100}, {101.5, 102}, {99.5, 100}, {97.5, 98},   {100.4, 100},
                 {100.6, 101}, {-0.5, 0},    {0.49, 0},   {639.0, 639}, {2.5, 2}};
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    Mouse pointer(sim);
    for (const Case& c : cases) {
        sim.SetPointer(50, 60);
        EXPECT_TRUE(pointer.SetX(c.value));
        EXPECT_EQ(sim.Pointer().x, c.x) << c.value;
        EXPECT_EQ(sim.Pointer().y, 60) << c.value;
        EXPECT_EQ(pointer.X(), c.x);
    }
}

TEST(Mouse, AWriteKeepsTheOtherCoordinateWhereThePointerIsNow) {
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    Mouse pointer(sim);
    sim.SetPointer(10, 20);
    EXPECT_EQ(pointer.X(), 10);
    sim.SetPointer(300, 400);  // the user moves the real mouse
    EXPECT_TRUE(pointer.SetY(7));
    EXPECT_EQ(sim.Pointer().x, 300);
    EXPECT_EQ(sim.Pointer().y, 7);
}

TEST(Mouse, MovesByAStepRoundAsAReadAndAWriteWouldFromWhereThePointerIsNow) {
    struct Case {
        int32_t from;
        double delta;
        int32_t to;
    } cases[] = {
        {100, -0.5, 100}, {101, -0.5, 100},   {100, 0.5, 100}, {101, 0.5, 102},
        {100, -1.5, 98},  {101, -1.5, 100},   {100, 2.8, 103}, {100, -2.8, 97},
        {101, 0.4, 101},  {100, 9.4395, 109}, {5, -9.4395, 0}, {100, 0.0, 100},
    };
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    Mouse pointer(sim);
    for (const Case& c : cases) {
        // Horizontally, then the same vertically; the other axis stays.
        sim.SetPointer(c.from, 60);
        EXPECT_TRUE(pointer.MoveX(c.delta));
        EXPECT_EQ(sim.Pointer().x, c.to) << c.from << " + " << c.delta;
        EXPECT_EQ(sim.Pointer().y, 60);
        sim.SetPointer(70, c.from);
        EXPECT_TRUE(pointer.MoveY(c.delta));
        EXPECT_EQ(sim.Pointer().y, c.to) << c.from << " + " << c.delta;
        EXPECT_EQ(sim.Pointer().x, 70);
    }
    // Beyond 32 bits the write fails and the pointer stays.
    sim.SetPointer(50, 60);
    EXPECT_FALSE(pointer.MoveX(1e12));
    EXPECT_FALSE(pointer.MoveY(-1e12));
    EXPECT_EQ(sim.Pointer().x, 50);
    EXPECT_EQ(sim.Pointer().y, 60);
}

TEST(Mouse, AValueBeyond32BitsFailsAndThePointerStays) {
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    Mouse pointer(sim);
    sim.SetPointer(50, 60);
    for (double value : {2147483648.0, -2147483649.0, 1e300}) {
        EXPECT_FALSE(pointer.SetX(value)) << value;
        EXPECT_FALSE(pointer.SetY(value)) << value;
        EXPECT_EQ(sim.Pointer().x, 50);
        EXPECT_EQ(sim.Pointer().y, 60);
    }
    // The edges of 32 bits still fit; the desktop keeps the pointer on screen.
    EXPECT_TRUE(pointer.SetX(2147483647.4));
    EXPECT_TRUE(pointer.SetX(-2147483648.0));
    EXPECT_EQ(sim.Pointer().x, 0);
}

}  // namespace
}  // namespace gimbalo
