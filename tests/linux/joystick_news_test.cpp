// A read of the joystick asks SDL for news only when there may be some: its
// node, when the node reports every change, and the arrival sources. A pipe
// stands in for the node, as in the replay program.
#include <fcntl.h>
#include <unistd.h>

#include <functional>

#include "linux_test_support.h"
#include "platform/linux/joystick_news.h"
#include "test_joystick.h"

namespace gimbalo {
namespace {

// A pipe in place of joystick 0's node, for the life of the object.
class PipeNode {
public:
    PipeNode(LinuxPlatform& platform, bool reportsEveryChange) : platform_(platform) {
        (void)!pipe2(ends_, O_NONBLOCK | O_CLOEXEC);
        platform.News()->TakeInputFrom([this, reportsEveryChange](int device) {
            if (device != 0) return JoystickNews::Input{JoystickNews::Input::Kind::Unwatchable};
            return JoystickNews::Input{JoystickNews::Input::Kind::Node, ends_[0],
                                       reportsEveryChange};
        });
    }
    ~PipeNode() {
        platform_.StopWatchingJoystick();
        platform_.News()->ForgetInput(ends_[0]);
        close(ends_[0]);
        close(ends_[1]);
    }
    void Report() { (void)!write(ends_[1], "r", 1); }

private:
    LinuxPlatform& platform_;
    int ends_[2] = {-1, -1};
};

TEST(JoystickNews, AReadAsksSdlOnlyWhenTheNodeOrAnArrivalSourceHasNews) {
    if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display";
    struct Step {
        const char* what;
        std::function<void(LinuxPlatform&, PipeNode&)> before;  // after the axis moved
        bool fresh;  // the read shows where the axis is now
    };
    const Step steps[] = {
        {"the first read of the numbered joystick", [](LinuxPlatform&, PipeNode&) {}, true},
        {"nothing reported", [](LinuxPlatform&, PipeNode&) {}, false},
        {"a report", [](LinuxPlatform&, PipeNode& node) { node.Report(); }, true},
        {"another joystick read between",
         [](LinuxPlatform& p, PipeNode&) {
             JOYINFOEX other;
             p.joyGetPosEx(1, other);
         },
         true},
        // The watch empties the node while armed: what it took is not lost.
        {"a report while watched",
         [](LinuxPlatform& p, PipeNode& node) {
             ASSERT_TRUE(p.WatchJoystick(0, [] {}));
             node.Report();
             p.StopWatchingJoystick();
         },
         true},
        {"watched, with nothing reported",
         [](LinuxPlatform& p, PipeNode&) {
             ASSERT_TRUE(p.WatchJoystick(0, [] {}));
             p.StopWatchingJoystick();
         },
         true},
        {"nothing reported at last", [](LinuxPlatform&, PipeNode&) {}, false},
    };
    for (bool reportsEveryChange : {true, false}) {
        GIMBALO_PLATFORM_OR_SKIP(platform);
        PipeNode node(*platform, reportsEveryChange);
        SKIP_WITH_A_REAL_JOYSTICK();
        testing::VirtualJoystick pad("Gimbalo Pad", 2, 4);
        ASSERT_TRUE(pad.Attached());
        JOYINFOEX numbering;  // the read that gives the joystick its number
        ASSERT_EQ(platform->joyGetPosEx(0, numbering), JOYERR_NOERROR);
        uint32_t shown = 0;
        for (std::size_t i = 0; i < std::size(steps); ++i) {
            const Step& step = steps[i];
            const auto axis = static_cast<Sint16>(1000 * (i + 1));
            pad.SetAxes(axis, 0);
            step.before(*platform, node);
            JOYINFOEX info;
            ASSERT_EQ(platform->joyGetPosEx(0, info), JOYERR_NOERROR) << step.what;
            // A node that may miss changes is never trusted to be quiet.
            const bool fresh = step.fresh || !reportsEveryChange;
            if (fresh) shown = static_cast<uint32_t>(axis + 32768);
            EXPECT_EQ(info.dwXpos, shown)
                << step.what << (reportsEveryChange ? "" : ", unsure node");
        }
    }
}

}  // namespace
}  // namespace gimbalo
