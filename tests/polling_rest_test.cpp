// The polling loop that sleeps while the stick rests, against plain polling:
// on long random input both leave the pointer in the same place and inject
// the same mouse-button events, tick by tick.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/program.h"
#include "options/frm_opzioni.h"
#include "platform/sim/sim_platform.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

constexpr uint32_t kCentre = 32768;
constexpr int kPeriod = 5;  // milliseconds of the polling timer

// A started program on its own desktop, counting the polling ticks it runs.
struct Desk {
    explicit Desk(bool watchable) : sim(folder.Path()), program(sim) {
        sim.SetJoysticksWatchable(watchable);
        sim.AddJoystick("Pad", 32);
        sim.AddJoystick("Other", 4);  // device 1: read while it is the joystick in use
        program.Start();
        std::function<void()> tick = program.mainWindow.pollingTimer.Tick;
        program.mainWindow.pollingTimer.Tick = [this, tick] {
            ++ticks;
            tick();
        };
    }
    void Slot() { sim.AdvanceTime(kPeriod); }
    bool Resting() const { return program.mainWindow.rest.Resting(); }

    testing::TempFolder folder;
    SimPlatform sim;
    Program program;
    long ticks = 0;
};

// What a user does to both desktops at the start of one period with joystick
// `device`; the user of device 0 also changes the settings.
class RandomUser {
public:
    RandomUser(uint32_t seed, int device) : random_(seed), device_(device) {}

    // Acts on both desks alike; `resting` says whether the sleeping one rests,
    // so the test can tell that the cases it is about did happen.
    void Act(Desk& pure, Desk& rest) {
        const bool resting = rest.Resting();
        if (--phaseLeft_ <= 0) NewPhase();
        // Unplugged now and then, and back soon with whatever the stick holds.
        if (Chance(present_ ? 0.002 : 0.03)) {
            present_ = !present_;
            for (Desk* desk : {&pure, &rest}) desk->sim.Joystick(device_).present = present_;
            if (resting) ++unplugsAtRest;
        }
        if (device_ == 0 && Chance(0.003)) {
            ChangeSettings(pure, rest);
            if (resting) ++settingsAtRest;
        }
        if (Chance(0.01)) {  // the real mouse moves
            const int32_t x = Pick(-50, 1330);
            const int32_t y = Pick(-50, 850);
            for (Desk* desk : {&pure, &rest}) desk->sim.SetPointer(x, y);
        }
        // Noise or a small push that stays within the thresholds.
        if (phase_ == Phase::Rest && Chance(0.02)) {
            x_ = static_cast<uint32_t>(Pick(150, 63850));
            y_ = static_cast<uint32_t>(Pick(150, 63850));
        }
        if (phase_ == Phase::Move && Chance(0.05)) PickDeflection();
        if (phase_ == Phase::Buttons && Chance(0.2)) PickButtons();
        if (buttons_ != 0 && (buttons_ & (buttons_ - 1)) != 0) ++chords;
        for (Desk* desk : {&pure, &rest}) desk->sim.SetStick(x_, y_, buttons_, device_);
    }

    int unplugsAtRest = 0;
    int settingsAtRest = 0;
    long chords = 0;

private:
    enum class Phase { Rest, Move, Buttons };

    bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    template <typename T, std::size_t N>
    T PickOf(const T (&values)[N]) {
        return values[static_cast<std::size_t>(Pick(0, static_cast<int>(N) - 1))];
    }

    void NewPhase() {
        const int kind = Pick(0, 9);
        x_ = y_ = kCentre;
        buttons_ = 0;
        if (kind < 5) {  // rests from one tick to five seconds
            phase_ = Phase::Rest;
            phaseLeft_ = Chance(0.3) ? Pick(1, 8) : Pick(9, 1000);
        } else if (kind < 7) {
            phase_ = Phase::Move;
            phaseLeft_ = Pick(1, 160);  // long enough to reach full acceleration
            PickDeflection();
            if (Chance(0.3)) PickButtons();
        } else {
            phase_ = Phase::Buttons;
            phaseLeft_ = Pick(1, 40);
            PickButtons();
        }
    }
    void PickDeflection() {
        // The thresholds' edges on both sides, the ends and the centre.
        static constexpr uint32_t kReadings[] = {0,     1,     149,   150,   kCentre,
                                                 63850, 63851, 65535, 20000, 40000};
        x_ = PickOf(kReadings);
        y_ = PickOf(kReadings);
    }
    void PickButtons() {
        // Single buttons, chords, buttons beyond 16 bits and the sign bit.
        static constexpr uint32_t kMasks[] = {
            0, 1, 2, 4, 8, 3, 5, 0x8000, 0x10000, 0x80000000u, 0x80000001u, 0x40000000, 1, 2, 4};
        buttons_ = PickOf(kMasks);
    }
    // The options dialog, on both desks alike: OK applies and saves.
    void ChangeSettings(Desk& pure, Desk& rest) {
        static const char* const kSpeeds[] = {"2", "0.5", "1.5", "3", "0", "abc", "7.25", "1"};
        const std::string speed = PickOf(kSpeeds);
        const bool toggleAcceleration = Chance(0.3);
        // Now and then another button for left or right, among those the
        // masks hold, or the usual three again (a pick clears the same
        // button from the other two lists).
        const int mapping = Pick(0, 4);
        const int button = Pick(0, 3);
        const int joystick = Chance(0.3) ? Pick(0, 1) : -1;
        for (Desk* desk : {&pure, &rest}) {
            ASSERT_TRUE(desk->program.RunMenuCommand("mnuDef"));
            frmOpzioni& dialog = *desk->program.OptionsDialog();
            dialog.speedList.UserType(speed);
            if (toggleAcceleration) dialog.acceleration.UserToggle();
            if (mapping == 0) {
                dialog.leftButtonList.UserPick(0);
                dialog.rightButtonList.UserPick(1);
                dialog.middleButtonList.UserPick(2);
            }
            if (mapping == 1) dialog.leftButtonList.UserPick(button);
            if (mapping == 2) dialog.rightButtonList.UserPick(button);
            if (joystick >= 0) dialog.joystickList.UserPick(joystick);
            dialog.okButton.UserClick();
        }
    }

    std::mt19937 random_;
    int device_;
    Phase phase_ = Phase::Rest;
    int phaseLeft_ = 0;
    bool present_ = true;
    uint32_t x_ = kCentre;
    uint32_t y_ = kCentre;
    uint32_t buttons_ = 0;
};

TEST(PollingRestTest, SleepingLoopMovesAndClicksExactlyAsPlainPolling) {
    struct Case {
        uint32_t seed;
        long periods;
    } cases[] = {{1, 30000}, {2, 30000}, {7, 30000}, {2024, 30000}, {31337, 60000}};
    for (const Case& c : cases) {
        SCOPED_TRACE("seed " + std::to_string(c.seed));
        Desk pure(false);
        Desk rest(true);
        RandomUser user(c.seed, 0);
        RandomUser other(c.seed + 1, 1);
        std::size_t eventsSeen = 0;
        long restsWithDevice1[2] = {};  // in use, absent and present
        for (long period = 0; period < c.periods; ++period) {
            user.Act(pure, rest);
            other.Act(pure, rest);
            if (rest.Resting() && rest.program.settings.JoystickIndex == 1)
                ++restsWithDevice1[rest.sim.Joystick(1).present];
            if (::testing::Test::HasFatalFailure()) return;
            pure.Slot();
            rest.Slot();
            ASSERT_FALSE(pure.Resting());
            // The same pointer and the same new events after every period,
            // whether the sleeping loop ran its tick or slept through it.
            ASSERT_EQ(rest.sim.Pointer().x, pure.sim.Pointer().x) << "period " << period;
            ASSERT_EQ(rest.sim.Pointer().y, pure.sim.Pointer().y) << "period " << period;
            ASSERT_EQ(rest.sim.buttonEvents.size(), pure.sim.buttonEvents.size())
                << "period " << period;
            for (; eventsSeen < pure.sim.buttonEvents.size(); ++eventsSeen)
                ASSERT_EQ(rest.sim.buttonEvents[eventsSeen], pure.sim.buttonEvents[eventsSeen])
                    << "period " << period;
        }
        EXPECT_EQ(pure.ticks, c.periods);
        // It did sleep, woke often, and met what the comparison is about.
        EXPECT_LT(rest.ticks, pure.ticks * 3 / 4);
        EXPECT_GT(rest.sim.joystickWakes, 50);
        EXPECT_GT(user.settingsAtRest, 0);
        EXPECT_GT(user.unplugsAtRest, 0);
        EXPECT_GT(restsWithDevice1[0] * restsWithDevice1[1], 0);
        EXPECT_GT(user.chords, 0);
        EXPECT_GT(pure.sim.buttonEvents.size(), 60u);
    }
}

TEST(PollingRestTest, SleepsOnlyWithAWayToWakeAndNotAfterTheExit) {
    for (const bool watchable : {true, false}) {
        Desk desk(watchable);
        for (int period = 0; period < 200; ++period) desk.Slot();  // one second at rest
        EXPECT_EQ(desk.ticks, watchable ? kRestTicks : 200) << watchable;
        EXPECT_EQ(desk.sim.WatchingJoystick(), watchable);
        EXPECT_EQ(desk.program.mainWindow.pollingTimer.Enabled(), !watchable);
        // Input wakes it; the tick comes one period later, as when polling.
        desk.sim.SetStick(0, kCentre, 0);
        const int x = desk.sim.Pointer().x;
        desk.Slot();
        EXPECT_EQ(desk.sim.Pointer().x, x - 2) << watchable;
        desk.program.RunMenuCommand("mnuExit");
        EXPECT_FALSE(desk.sim.WatchingJoystick());
    }
}

TEST(PollingRestTest, StickThatReportsWithoutMovingCostsNoMoreThanPolling) {
    struct Case {
        int every;      // periods between two reports of a stick at rest
        long maxWakes;  // of the desktop, besides the ticks
        long maxTicks;
    } cases[] = {
        // Noise or a pad that reports all the time: the wait grows to the
        // longest, so about one wake per longest wait.
        {1, 20000 / kLongestRestWait + 20, 20000},
        // Now and then: each report wakes, the short wait follows.
        {100, 200, 200 * kRestTicks},
    };
    for (const Case& c : cases) {
        Desk desk(true);
        std::mt19937 random(5);
        std::uniform_int_distribution<uint32_t> jitter(kCentre - 40, kCentre + 40);
        for (long period = 0; period < 20000; ++period) {
            if (period % c.every == 0) desk.sim.SetStick(jitter(random), jitter(random), 0);
            desk.Slot();
        }
        EXPECT_LE(desk.sim.joystickWakes, c.maxWakes) << c.every;
        EXPECT_LE(desk.ticks, c.maxTicks) << c.every;
        EXPECT_GT(desk.sim.joystickWakes, 20000 / c.every / (2 * kLongestRestWait)) << c.every;
        // A tick with work brings the short wait back.
        desk.sim.SetStick(0, kCentre, 0);
        desk.Slot();
        desk.sim.SetStick(kCentre, kCentre, 0);
        const long before = desk.ticks;
        for (int period = 0; period < 100; ++period) desk.Slot();
        EXPECT_EQ(desk.ticks - before, kRestTicks) << c.every;
    }
}

}  // namespace
}  // namespace gimbalo
