// Waiting for joystick input in Qt's event loop: what wakes the program and
// what does not, against real descriptors, folders and SDL's joysticks.
#include <QCoreApplication>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "linux_test_support.h"
#include "platform/linux/joystick_watch.h"
#include "test_joystick.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

TEST(JoystickWatch, OnlyNodesOfKnownKindsAreWatched) {
    struct Case {
        const char* path;
        JoystickNodeKind kind;
    } cases[] = {
        {"/dev/input/event0", JoystickNodeKind::Evdev},
        {"/dev/input/event17", JoystickNodeKind::Evdev},
        {"/dev/input/js2", JoystickNodeKind::Joydev},
        {"/dev/hidraw3", JoystickNodeKind::Hidraw},
        {"/dev/input/event", JoystickNodeKind::Unknown},
        {"/dev/input/eventX", JoystickNodeKind::Unknown},
        {"/dev/input/mouse0", JoystickNodeKind::Unknown},
        {"/dev/null", JoystickNodeKind::Unknown},
        {"", JoystickNodeKind::Unknown},
        {"/tmp/dev/input/event0", JoystickNodeKind::Unknown},
    };
    for (const Case& c : cases) EXPECT_EQ(KindOfJoystickNode(c.path), c.kind) << c.path;
    // Unknown kinds are not opened; a known one that is not there cannot be.
    EXPECT_EQ(OpenJoystickNode("/dev/null"), -1);
    EXPECT_EQ(OpenJoystickNode("/dev/input/event999999"), -1);
}

// A message as udev sends it to its listeners: header, then properties.
std::string UdevMessage(const std::string& properties) {
    std::string message(40, '\0');
    std::memcpy(message.data(), "libudev", 8);
    const unsigned char magic[] = {0xfe, 0xed, 0xca, 0xfe};
    std::memcpy(message.data() + 8, magic, 4);
    const uint32_t words[] = {40, 40, static_cast<uint32_t>(properties.size())};
    std::memcpy(message.data() + 12, words, sizeof words);
    return message + properties;
}

TEST(JoystickWatch, AnnouncementsOfInputOrHidrawDevicesOrUnreadableOnesCount) {
    using namespace std::string_literals;
    struct Case {
        std::string message;
        bool counts;
    } cases[] = {
        {UdevMessage("ACTION=add\0SUBSYSTEM=input\0DEVNAME=/dev/input/event4\0"s), true},
        {UdevMessage("ACTION=remove\0SUBSYSTEM=hidraw\0"s), true},
        {UdevMessage("ACTION=change\0SUBSYSTEM=power_supply\0"s), false},
        {UdevMessage("ACTION=add\0SUBSYSTEM=inputs\0"s), false},
        {UdevMessage("ACTION=add\0DEVNAME=/dev/sda\0"s), true},   // no subsystem said
        {"add@/devices/virtual/input/input9", true},              // not udev's own
        {UdevMessage("SUBSYSTEM=block\0"s).substr(0, 30), true},  // cut short
    };
    for (const Case& c : cases)
        EXPECT_EQ(UdevMessageMayConcernJoysticks(c.message.data(), c.message.size()), c.counts)
            << c.message.substr(40);

    struct Entry {
        const char* folder;
        const char* name;
        bool counts;
    } entries[] = {
        {"/dev/input", "event5", true},  {"/dev/input", "js0", true},
        {"/dev/input", "mouse1", false}, {"/dev", "hidraw2", true},
        {"/dev", "input", true},         {"/dev", "ttyS0", false},
        {"/dev", "event5", false},
    };
    for (const Entry& e : entries)
        EXPECT_EQ(DeviceEntryMayConcernJoysticks(e.folder, e.name), e.counts)
            << e.folder << "/" << e.name;
}

// Runs Qt's event loop until `done` or, when `done` never holds, for a while.
bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds most) {
    const auto deadline = std::chrono::steady_clock::now() + most;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A device folder holding one joystick node, and a pipe for the watched node
// with input that came before anyone looked.
struct Devices {
    Devices() {
        std::filesystem::create_directory(dev.Path() + "/input");
        testing::WriteFile(dev.Path() + "/input/event3", "");
        EXPECT_EQ(pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
        (void)!write(ends[1], "old", 3);
    }
    ~Devices() {
        for (int end : ends)
            if (end >= 0) close(end);
    }
    JoystickWatch Watch() const {
        return JoystickWatch({dev.Path(), dev.Path() + "/input"}, false);
    }
    testing::TempFolder dev;
    int ends[2] = {-1, -1};
};

// What wakes a watch that waits, and what a polling reader's look finds, are
// the same signs.
TEST(JoystickWatch, InputOnTheNodeOrAJoystickNodeComingOrGoingIsNewsAndNothingElseIs) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    struct Case {
        const char* what;
        std::function<void(Devices&)> act;
        bool news;
        bool ended;
    } cases[] = {
        {"a report", [](Devices& d) { (void)!write(d.ends[1], "x", 1); }, true, false},
        {"the node ends", [](Devices& d) { close(std::exchange(d.ends[1], -1)); }, true, true},
        {"a joystick node appears",
         [](Devices& d) { testing::WriteFile(d.dev.Path() + "/input/event7", ""); }, true, false},
        {"a joystick node goes",
         [](Devices& d) { std::filesystem::remove(d.dev.Path() + "/input/event3"); }, true, false},
        {"a hidraw node appears",
         [](Devices& d) { testing::WriteFile(d.dev.Path() + "/hidraw1", ""); }, true, false},
        {"the input folder appears",
         [](Devices& d) {
             std::filesystem::remove_all(d.dev.Path() + "/input");
             std::filesystem::create_directory(d.dev.Path() + "/input");
         },
         true, false},
        {"another device", [](Devices& d) { testing::WriteFile(d.dev.Path() + "/sda", ""); }, false,
         false},
        {"a mouse", [](Devices& d) { testing::WriteFile(d.dev.Path() + "/input/mouse0", ""); },
         false, false},
        {"nothing", [](Devices&) {}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            Devices devices;
            JoystickWatch watch = devices.Watch();
            const int node = devices.ends[0];
            int wakes = 0;
            EXPECT_TRUE(watch.SeesArrivals());
            ASSERT_TRUE(watch.Arm(node, [&wakes] { ++wakes; }));  // no wake for the old input
            c.act(devices);
            RunEventsUntil([&] { return wakes > 0; }, std::chrono::milliseconds(300));
            // Once only: after the wake, a report wakes nobody.
            if (c.news && !c.ended) (void)!write(devices.ends[1], "y", 1);
            RunEventsUntil([] { return false; }, std::chrono::milliseconds(50));
            EXPECT_EQ(wakes, c.news ? 1 : 0);
            EXPECT_EQ(watch.NodeEnded(), c.ended);
            // Disarmed, a report wakes nobody.
            if (!c.ended) {
                ASSERT_TRUE(watch.Arm(node, [&wakes] { wakes += 10; }));
                watch.Disarm();
                (void)!write(devices.ends[1], "z", 1);
                RunEventsUntil([] { return false; }, std::chrono::milliseconds(50));
                EXPECT_EQ(wakes, c.news ? 1 : 0);
            }
            watch.ForgetNode();
        }
        Devices devices;
        JoystickWatch watch = devices.Watch();
        EXPECT_FALSE(watch.Quiet(devices.ends[0])) << "what came before";
        EXPECT_TRUE(watch.Quiet(devices.ends[0])) << "emptied";
        c.act(devices);
        // Another device may count as news too: a needless look costs little.
        const bool quiet = watch.Quiet(devices.ends[0]);
        EXPECT_TRUE(!c.news || !quiet);
        // An ended node stays readable: never quiet again.
        EXPECT_EQ(watch.Quiet(devices.ends[0]), !c.ended) << "looked at again";
    }
}

TEST(JoystickWatch, AJoystickWithoutADeviceNodeIsPolled) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    // SDL's virtual joysticks have no node: nothing could wake the program.
    testing::VirtualJoystick pad("Gimbalo Pad", 2, 4);
    ASSERT_TRUE(pad.Attached());
    JOYINFOEX info;
    ASSERT_EQ(platform->joyGetPosEx(pad.Device(), info), JOYERR_NOERROR);
    EXPECT_FALSE(platform->WatchJoystick(pad.Device(), [] {}));
    platform->StopWatchingJoystick();
}

}  // namespace
}  // namespace gimbalo
