// The polling tick as a user sees it: where the pointer goes and which mouse
// button events reach the desktop.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/program.h"
#include "platform/sim/sim_platform.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

constexpr uint32_t kCentre = 32767;

class PollingTest : public ::testing::Test {
protected:
    PollingTest() : sim(folder.Path()), program(sim) {
        sim.AddJoystick("Pad", 12);
        program.settings.SetDefaults();
        sim.SetPointer(100, 100);
    }
    void Tick(uint32_t x, uint32_t y, uint32_t buttons = 0) {
        sim.SetStick(x, y, buttons);
        program.mainWindow.polling.Timer1_Timer();
    }
    void Centre() { Tick(kCentre, kCentre); }
    PollingLoop& loop() { return program.mainWindow.polling; }

    testing::TempFolder folder;
    SimPlatform sim;
    Program program;
};

TEST_F(PollingTest, CentredStickTakesTheSpeedSettingAsStep) {
    struct Case {
        const char* speed;
        float step;
    } cases[] = {{"2", 2.0f}, {"0.5", 0.5f}, {"1.5", 1.5f}, {" 1.5 ", 1.5f},
                 {"0", 2.0f}, {"abc", 2.0f}, {"", 2.0f},    {"3x", 3.0f}};
    for (const Case& c : cases) {
        program.settings.SpeedSetting = c.speed;
        Centre();
        EXPECT_EQ(loop().Step(), c.step) << "speed \"" << c.speed << "\"";
        EXPECT_EQ(loop().MoveTicks(), 0);
    }
    EXPECT_EQ(sim.Pointer().x, 100);
    EXPECT_EQ(sim.Pointer().y, 100);
    EXPECT_TRUE(sim.buttonEvents.empty());
}

TEST_F(PollingTest, ThresholdsDecideWhetherAnAxisMoves) {
    struct Case {
        uint32_t x, y;
        int dx, dy;
    } cases[] = {
        {149, kCentre, -2, 0},  {150, kCentre, 0, 0},   {0, kCentre, -2, 0},
        {63850, kCentre, 0, 0}, {63851, kCentre, 2, 0}, {65535, kCentre, 2, 0},
        {kCentre, 149, 0, -2},  {kCentre, 150, 0, 0},   {kCentre, 63851, 0, 2},
        {kCentre, 63850, 0, 0}, {0, 0, -2, -2},         {65535, 65535, 2, 2},
        {0, 65535, -2, 2},
    };
    program.settings.Acceleration = 0;
    for (const Case& c : cases) {
        Centre();
        sim.SetPointer(500, 500);
        Tick(c.x, c.y);
        EXPECT_EQ(sim.Pointer().x, 500 + c.dx) << "x=" << c.x << " y=" << c.y;
        EXPECT_EQ(sim.Pointer().y, 500 + c.dy) << "x=" << c.x << " y=" << c.y;
    }
}

TEST_F(PollingTest, StickHeldFromTheFirstTickMovesNothingUntilReleasedOnce) {
    Tick(0, kCentre);
    Tick(0, kCentre);
    EXPECT_EQ(sim.Pointer().x, 100);
    Centre();
    Tick(0, kCentre);
    EXPECT_EQ(sim.Pointer().x, 98);
}

TEST_F(PollingTest, AccelerationGrowsTheStepAtTicks20To80) {
    program.settings.SpeedSetting = "2";
    sim.SetPointer(0, 100);
    Centre();
    std::vector<int> moves;
    for (int tick = 1; tick <= 100; ++tick) {
        const int before = sim.Pointer().x;
        Tick(65535, kCentre);
        moves.push_back(sim.Pointer().x - before);
    }
    for (int tick = 1; tick <= 100; ++tick)
        ASSERT_EQ(moves[tick - 1], testing::GrowingStepAt(tick)) << "tick " << tick;
    EXPECT_FLOAT_EQ(loop().Step(), 9.4395f);
    EXPECT_EQ(loop().MoveTicks(), 100);
    Centre();
    EXPECT_EQ(loop().Step(), 2.0f);
    EXPECT_EQ(loop().MoveTicks(), 0);
}

TEST_F(PollingTest, WithoutAccelerationTheStepStaysAndTheTicksAreNotCounted) {
    program.settings.Acceleration = 0;
    sim.SetPointer(0, 100);
    Centre();
    for (int tick = 0; tick < 90; ++tick) Tick(65535, kCentre);
    EXPECT_EQ(sim.Pointer().x, 180);
    EXPECT_EQ(loop().Step(), 2.0f);
    EXPECT_EQ(loop().MoveTicks(), 0);
    // Acceleration switched on between ticks counts from the next tick on.
    program.settings.Acceleration = 1;
    Tick(65535, kCentre);
    EXPECT_EQ(loop().MoveTicks(), 1);
}

TEST_F(PollingTest, HalfPixelStepsRoundToEven) {
    program.settings.SpeedSetting = "0.5";
    program.settings.Acceleration = 0;
    Centre();
    sim.SetPointer(100, 100);
    Tick(65535, kCentre);  // 100.5 rounds to 100
    EXPECT_EQ(sim.Pointer().x, 100);
    sim.SetPointer(101, 100);
    Tick(65535, kCentre);  // 101.5 rounds to 102
    EXPECT_EQ(sim.Pointer().x, 102);
    Tick(65535, kCentre);  // 102.5 rounds to 102
    EXPECT_EQ(sim.Pointer().x, 102);
}

TEST_F(PollingTest, PointerStaysOnTheScreen) {
    sim.SetScreen(200, 100);
    program.settings.Acceleration = 0;
    Centre();
    sim.SetPointer(1, 1);
    Tick(0, 0);
    Tick(0, 0);
    EXPECT_EQ(sim.Pointer().x, 0);
    EXPECT_EQ(sim.Pointer().y, 0);
    // The tick still counts as a moved one: the step is not reset.
    program.settings.Acceleration = 1;
    Tick(0, 0);
    EXPECT_EQ(loop().MoveTicks(), 1);
}

struct ButtonCase {
    const char* what;
    int16_t left, right, middle;
    std::vector<uint32_t> masks;  // one tick each
    std::vector<uint32_t> events;
    friend void PrintTo(const ButtonCase& c, std::ostream* out) { *out << c.what; }
};

class ButtonTest : public PollingTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ButtonTest, MasksGiveOneDownPerPressAndOneUpPerRelease) {
    const ButtonCase& c = GetParam();
    program.settings.LeftButton = c.left;
    program.settings.RightButton = c.right;
    program.settings.MiddleButton = c.middle;
    for (uint32_t mask : c.masks) Tick(kCentre, kCentre, mask);
    EXPECT_EQ(sim.buttonEvents, c.events);
    EXPECT_EQ(sim.Pointer().x, 100);
}

constexpr uint32_t LD = MOUSEEVENTF_LEFTDOWN, LU = MOUSEEVENTF_LEFTUP;
constexpr uint32_t RD = MOUSEEVENTF_RIGHTDOWN, RU = MOUSEEVENTF_RIGHTUP;
constexpr uint32_t MD = MOUSEEVENTF_MIDDLEDOWN, MU = MOUSEEVENTF_MIDDLEUP;

INSTANTIATE_TEST_SUITE_P(
    Sequences, ButtonTest,
    ::testing::Values(
        ButtonCase{"left press, hold, release", 1, 2, 3, {0, 1, 1, 1, 0, 0}, {LD, LU}},
        ButtonCase{"right and middle", 1, 2, 3, {2, 0, 4, 4, 0}, {RD, RU, MD, MU}},
        ButtonCase{"two buttons together match nothing", 1, 2, 3, {3, 3, 0}, {}},
        ButtonCase{
            "left then right without a pause releases both", 1, 2, 3, {1, 2, 0}, {LD, RD, RU, LU}},
        ButtonCase{
            "left, then both, then left again: no second down", 1, 2, 3, {1, 3, 1, 0}, {LD, LU}},
        ButtonCase{
            "two mouse buttons on one joystick button", 1, 1, 3, {1, 1, 0}, {LD, RD, RU, LU}},
        ButtonCase{"all three on one joystick button", 5, 5, 5, {16, 0}, {LD, RD, MD, MU, LU, RU}},
        ButtonCase{"button number 0 never matches", 0, 0, 0, {1, 0}, {}},
        ButtonCase{"negative button number never matches", -1, 2, 3, {1, 0}, {}},
        ButtonCase{"button 16 held past the 16-bit mask gives one down",
                   16,
                   2,
                   3,
                   {32768, 32768, 0},
                   {LD, LU}},
        ButtonCase{"button 15 fits", 15, 2, 3, {16384, 16384, 0}, {LD, LU}},
        ButtonCase{"button 32 alone counts as no button", 32, 2, 3, {0x80000000u, 0}, {}},
        ButtonCase{"unmapped button then a mapped one", 1, 2, 3, {8, 1, 0}, {LD, LU}}),
    [](const ::testing::TestParamInfo<ButtonCase>& param) {
        std::string name = param.param.what;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST_F(PollingTest, MarkerTellsWhichButtonIsHeld) {
    Tick(kCentre, kCentre, 2);
    EXPECT_EQ(loop().Held(), HeldButton::Right);
    EXPECT_EQ(loop().LastButtons(), 2);
    Tick(kCentre, kCentre, 0);
    EXPECT_EQ(loop().Held(), HeldButton::None);
    EXPECT_EQ(loop().LastButtons(), 0);
}

TEST_F(PollingTest, AnUnpluggedJoystickLetsGoOfTheButtonAndStopsThePointer) {
    Centre();
    Tick(0, kCentre, 1);
    Tick(0, kCentre, 1);
    EXPECT_EQ(sim.Pointer().x, 96);
    EXPECT_EQ(loop().MoveTicks(), 2);
    sim.Joystick(0).present = false;
    program.mainWindow.polling.Timer1_Timer();
    program.mainWindow.polling.Timer1_Timer();
    EXPECT_EQ(sim.buttonEvents, (std::vector<uint32_t>{LD, LU}));
    EXPECT_EQ(sim.Pointer().x, 96);
    EXPECT_EQ(loop().MoveTicks(), 0);
    EXPECT_EQ(loop().Step(), 2.0f);
}

TEST_F(PollingTest, TheJoystickInUseMovesThePointerAndDeviceZeroStandsInWhenItIsMissing) {
    sim.AddJoystick("Second pad", 4);  // device 1
    // Joystick in use, devices 0 and 1 present, and where device 0 (pushed
    // left, button 2) and device 1 (right, button 1) take the pointer.
    const std::tuple<int16_t, bool, bool, int> cases[] = {
        {1, 1, 1, 2},   {0, 1, 1, -2}, {1, 1, 0, -2}, {5, 1, 1, -2},
        {-1, 1, 1, -2}, {1, 0, 0, 0},  {0, 0, 1, 0},  {1, 1, 1, 2}};
    Centre();
    sim.SetStick(0, kCentre, 2, 0);
    sim.SetStick(65535, kCentre, 1, 1);
    for (const auto& [inUse, first, second, dx] : cases) {
        program.settings.JoystickIndex = inUse;
        sim.Joystick(0).present = first;
        sim.Joystick(1).present = second;
        const int x = sim.Pointer().x;
        program.mainWindow.polling.Timer1_Timer();
        EXPECT_EQ(sim.Pointer().x - x, dx) << inUse << first << second;
    }
    // A button held by one device goes up when a tick reads the other one.
    EXPECT_EQ(sim.buttonEvents, (std::vector<uint32_t>{LD, LU, RD, RU, LD}));
}

TEST_F(PollingTest, OverflowingCoordinateLeavesThePointer) {
    // A speed so large that the coordinate no longer fits 32 bits.
    program.settings.SpeedSetting = "1E+12";
    program.settings.Acceleration = 0;
    Centre();
    sim.SetPointer(50, 60);
    Tick(65535, 65535);
    EXPECT_EQ(sim.Pointer().x, 50);
    EXPECT_EQ(sim.Pointer().y, 60);
}

}  // namespace
}  // namespace gimbalo
