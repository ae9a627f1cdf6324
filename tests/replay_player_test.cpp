// The script player driving the program on the sim desktop the way the replay
// program drives it on a real one: a step at tick T acts on the read of tick T.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/sim/sim_platform.h"
#include "replay/player.h"
#include "replay/script.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

struct TickSeen {
    POINT pointer;
    std::vector<uint32_t> events;
};

class ReplayPlayerTest : public ::testing::Test {
protected:
    ReplayPlayerTest() : sim(folder.Path()), program(sim) {}

    // Parses `text`, starts the program and plays up to `ticks` ticks, or
    // until the script quits. Returns what each tick left on the desktop.
    std::vector<TickSeen> Play(const std::string& text, uint64_t ticks) {
        std::vector<ScriptError> errors = ParseScript(text, script);
        EXPECT_TRUE(errors.empty()) << errors.front().line << ": " << errors.front().message;
        for (const ScriptJoystick& joystick : script.joysticks)
            sim.AddJoystick(joystick.name, static_cast<uint32_t>(joystick.buttons));
        program.Start();
        ScriptPlayer player(script);
        std::vector<TickSeen> seen;
        for (uint64_t tick = 0; tick < ticks && !sim.ProgramEnded(); ++tick) {
            DueSteps due = player.Advance(tick);
            if (due.readingChanged) {
                const StickReading& reading = player.Reading();
                sim.SetStick(reading.x, reading.y, reading.buttons);
            }
            for (const ScriptStep* command : due.commands) {
                if (command->kind == StepKind::Unplug) sim.Joystick(0).present = false;
                if (command->kind == StepKind::Quit) program.Exit();
            }
            if (sim.ProgramEnded()) break;
            const std::size_t before = sim.buttonEvents.size();
            sim.AdvanceTime(5);  // one period of the polling timer
            seen.push_back({sim.Pointer(),
                            {sim.buttonEvents.begin() + static_cast<std::ptrdiff_t>(before),
                             sim.buttonEvents.end()}});
        }
        return seen;
    }

    testing::TempFolder folder;
    SimPlatform sim;
    Program program;
    Script script;
};

TEST_F(ReplayPlayerTest, StickHeldLeftMovesThePointerWithGrowingSteps) {
    std::vector<TickSeen> seen = Play(
        "joystick \"Pad\" buttons=4\n"
        "at 3: x=0\n",
        100);
    ASSERT_EQ(seen.size(), 100u);
    // Ticks 0 to 2 are centred; from tick 3 on each tick moves left by the
    // growing step.
    EXPECT_EQ(seen[0].pointer.x, 640);
    for (uint64_t tick = 1; tick < 100; ++tick) {
        const int held = static_cast<int>(tick) - 2;
        EXPECT_EQ(seen[tick].pointer.x - seen[tick - 1].pointer.x,
                  held > 0 ? -testing::GrowingStepAt(held) : 0)
            << "tick " << tick;
        EXPECT_EQ(seen[tick].pointer.y, 400) << "tick " << tick;
    }
}

TEST_F(ReplayPlayerTest, ButtonPressAndReleaseGiveOneEventEachAtTheirTicks) {
    std::vector<TickSeen> seen = Play(
        "joystick \"Pad\" buttons=4\n"
        "at 5: buttons=0x1\n"
        "at 9: buttons=0\n"
        "at 12: buttons=2\n"
        "at 13: buttons=0x0\n",
        16);
    ASSERT_EQ(seen.size(), 16u);
    for (uint64_t tick = 0; tick < seen.size(); ++tick) {
        std::vector<uint32_t> expected;
        if (tick == 5) expected = {MOUSEEVENTF_LEFTDOWN};
        if (tick == 9) expected = {MOUSEEVENTF_LEFTUP};
        if (tick == 12) expected = {MOUSEEVENTF_RIGHTDOWN};
        if (tick == 13) expected = {MOUSEEVENTF_RIGHTUP};
        EXPECT_EQ(seen[tick].events, expected) << "tick " << tick;
    }
}

TEST_F(ReplayPlayerTest, FieldsLeftOutKeepTheirValues) {
    std::vector<TickSeen> seen = Play(
        "joystick \"Pad\" buttons=4\n"
        "at 2: y=65535 buttons=1\n"
        "at 4: buttons=0\n"  // the stick stays down
        "at 6: y=32768\n",   // the button stays up
        8);
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[1].pointer.y, 400);
    EXPECT_EQ(seen[5].pointer.y, 408);  // ticks 2 to 5 moved 2 each
    EXPECT_EQ(seen[7].pointer.y, 408);
    EXPECT_EQ(seen[2].events, std::vector<uint32_t>{MOUSEEVENTF_LEFTDOWN});
    EXPECT_EQ(seen[4].events, std::vector<uint32_t>{MOUSEEVENTF_LEFTUP});
    EXPECT_EQ(sim.buttonEvents.size(), 2u);
}

TEST_F(ReplayPlayerTest, UnplugLetsGoOfTheHeldButtonAndStopsThePointer) {
    std::vector<TickSeen> seen = Play(
        "joystick \"Pad\" buttons=4\n"
        "at 1: x=65535 buttons=1\n"
        "at 4: unplug\n",
        8);
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[3].pointer.x, 646);
    EXPECT_EQ(seen[4].events, std::vector<uint32_t>{MOUSEEVENTF_LEFTUP});
    for (uint64_t tick = 4; tick < 8; ++tick) EXPECT_EQ(seen[tick].pointer.x, 646) << tick;
}

TEST_F(ReplayPlayerTest, QuitClosesTheProgramAtItsTickAndSavesTheSettings) {
    std::vector<TickSeen> seen = Play(
        "joystick \"Pad\" buttons=4\n"
        "at 2: buttons=1\n"
        "at 6: quit\n",
        100);
    EXPECT_EQ(seen.size(), 6u);  // ticks 0 to 5; tick 6 does not run
    EXPECT_TRUE(sim.ProgramEnded());
    // The close lets go of the held button and writes the settings, with
    // the language the first start chose.
    EXPECT_EQ(sim.buttonEvents, (std::vector<uint32_t>{MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}));
    EXPECT_EQ(testing::ReadFile(folder.File("Gimbalo.ini")),
              "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n");
}

TEST(ReplayPlayer, StepsFallDueAtTheirTickOrTheFirstOneAskedAfter) {
    Script script;
    ASSERT_TRUE(ParseScript("joystick \"P\" buttons=2\n"
                            "at 2: x=0\n"
                            "at 2: y=1 buttons=3\n"
                            "at 4: x=0\n"  // no change
                            "at 7: unplug\n"
                            "at 9: quit\n",
                            script)
                    .empty());
    ScriptPlayer player(script);
    struct Expect {
        uint64_t tick;
        bool changed;
        StickReading reading;
        std::vector<StepKind> commands;
        std::optional<uint64_t> next;  // the tick of the step after these
    } expectations[] = {
        {0, false, {32768, 32768, 0}, {}, 2},
        {1, false, {32768, 32768, 0}, {}, 2},
        {2, true, {0, 1, 3}, {}, 4},
        {4, false, {0, 1, 3}, {}, 7},
        {8, false, {0, 1, 3}, {StepKind::Unplug}, 9},  // tick 7 was skipped
        {100, false, {0, 1, 3}, {StepKind::Quit}, std::nullopt},
        {101, false, {0, 1, 3}, {}, std::nullopt},
    };
    for (const Expect& e : expectations) {
        DueSteps due = player.Advance(e.tick);
        EXPECT_EQ(player.NextTick(), e.next) << "tick " << e.tick;
        EXPECT_EQ(due.readingChanged, e.changed) << "tick " << e.tick;
        EXPECT_EQ(player.Reading(), e.reading) << "tick " << e.tick;
        std::vector<StepKind> kinds;
        for (const ScriptStep* step : due.commands) kinds.push_back(step->kind);
        EXPECT_EQ(kinds, e.commands) << "tick " << e.tick;
    }
    EXPECT_TRUE(player.Finished());
}

}  // namespace
}  // namespace gimbalo
