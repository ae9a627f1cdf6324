// gimbalo-replay with the pointer on /dev/uinput, as a Wayland session has
// it: the stand-in preloaded in the device's place (uinput_stand_in.c) keeps
// what the device was asked and sent. The runs use the X display all the
// same, for the windows and for the comparison with XTest.
#include <gtest/gtest.h>
#include <linux/input.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/linux/have_display.h"
#include "tests/linux/replay_child.h"
#include "tests/replay_trace_reading.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

struct Spot {
    int x = 0;
    int y = 0;
};

// Puts the X pointer at the centre of the screen, where the virtual device
// starts, and says where that is (defined at the end, after Xlib).
Spot CentreXPointer();

// One event as a word and its value ("REL_X -2", "BTN_LEFT 1"), or "SYN".
std::string EventText(const input_event& event) {
    static const std::map<std::pair<int, int>, std::string> names = {
        {{EV_REL, REL_X}, "REL_X"},
        {{EV_REL, REL_Y}, "REL_Y"},
        {{EV_KEY, BTN_LEFT}, "BTN_LEFT"},
        {{EV_KEY, BTN_RIGHT}, "BTN_RIGHT"},
        {{EV_KEY, BTN_MIDDLE}, "BTN_MIDDLE"}};
    if (event.type == EV_SYN && event.code == SYN_REPORT && event.value == 0) return "SYN";
    const auto found = names.find({event.type, event.code});
    return (found == names.end()
                ? "?" + std::to_string(event.type) + ":" + std::to_string(event.code)
                : found->second) +
           " " + std::to_string(event.value);
}

// The events the device should have been sent for `trace`, which started
// with the pointer at `start`: each tick's move, an axis at a time, then its
// button events, each followed by a report.
std::vector<std::string> EventsOfTrace(const Trace& trace, Spot start) {
    static const std::map<std::string, std::string> buttons = {
        {"LEFTDOWN", "BTN_LEFT 1"}, {"LEFTUP", "BTN_LEFT 0"},       {"RIGHTDOWN", "BTN_RIGHT 1"},
        {"RIGHTUP", "BTN_RIGHT 0"}, {"MIDDLEDOWN", "BTN_MIDDLE 1"}, {"MIDDLEUP", "BTN_MIDDLE 0"}};
    std::vector<std::string> events;
    for (const Fields& tick : trace.ticks) {
        const int dx = PointerX(tick) - start.x;
        const int dy = PointerY(tick) - start.y;
        if (dx != 0) events.insert(events.end(), {"REL_X " + std::to_string(dx), "SYN"});
        if (dy != 0) events.insert(events.end(), {"REL_Y " + std::to_string(dy), "SYN"});
        start = {PointerX(tick), PointerY(tick)};
        std::istringstream names(tick.at("events"));
        for (std::string name; std::getline(names, name, ',');)
            if (name != "-") events.insert(events.end(), {buttons.at(name), "SYN"});
    }
    return events;
}

class UinputReplay : public ::testing::Test {
protected:
    UinputReplay() { chmod(runtime.Path().c_str(), 0700); }

    // Runs `script` to its end, polling, with the trace, in `language` at
    // speed `speed`; the pointer on the stand-in, or on XTest. The exit status.
    int Run(const std::string& script, bool uinput, const std::string& language = "English.lng",
            const std::string& speed = "2", const std::vector<std::string>& more = {}) {
        std::unique_ptr<testing::ReplayChild> child = Start(script, uinput, language, speed, more);
        const int status = child->Wait();
        out = child->out;
        err = child->err;
        return status;
    }
    // The same, started and left running.
    std::unique_ptr<testing::ReplayChild> Start(const std::string& script, bool uinput,
                                                const std::string& language = "English.lng",
                                                const std::string& speed = "2",
                                                const std::vector<std::string>& more = {}) {
        std::string settingsText;
        for (const std::string line : {"1", "2", "3", speed.c_str(), "1", "0", "0"})
            settingsText += line + "\r\n";
        testing::WriteFile(settings.File("Gimbalo.ini"), settingsText + language + "\r\n");
        testing::WriteFile(scripts.File("run.script"), script);
        std::vector<std::string> env = {uinput ? "GIMBALO_POINTER=uinput"
                                               : "GIMBALO_POINTER=xtest"};
        if (uinput) {
            const char* asan = std::getenv("ASAN_OPTIONS");
            env.insert(env.end(), {std::string("LD_PRELOAD=") + GIMBALO_UINPUT_STAND_IN,
                                   "GIMBALO_UINPUT_STAND_IN=" + Record(),
                                   std::string("ASAN_OPTIONS=verify_asan_link_order=0") +
                                       (asan != nullptr ? std::string(":") + asan : "")});
        }
        env.insert(env.end(), more.begin(), more.end());
        return std::make_unique<testing::ReplayChild>(
            GIMBALO_REPLAY_EXECUTABLE,
            std::vector<std::string>{scripts.File("run.script"), "--trace", "--poll", "--settings",
                                     settings.Path()},
            config.Path(), runtime.Path(), env);
    }
    std::string Record() const { return scripts.File("uinput"); }
    std::vector<std::string> Lines(const std::string& path) const {
        std::vector<std::string> lines;
        std::istringstream text(testing::ReadFile(path));
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }
    std::vector<std::string> Events() const {
        const std::string bytes = testing::ReadFile(Record());
        std::vector<std::string> events;
        for (std::size_t at = 0; at + sizeof(input_event) <= bytes.size();
             at += sizeof(input_event)) {
            input_event event;
            std::memcpy(&event, bytes.data() + at, sizeof event);
            events.push_back(EventText(event));
        }
        return events;
    }

    testing::TempFolder config, settings, runtime, scripts;
    std::string out, err;
};

#define SKIP_WITHOUT_DISPLAY() \
    if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display"

TEST_F(UinputReplay, TheDeviceIsMadeAndSentEachMoveAndClickAndLetsGoHoweverTheProgramEnds) {
    SKIP_WITHOUT_DISPLAY();
    // Pushed left for five ticks, then button 1 (left) pressed; released by
    // the script, by the close at its quit, by a close request, by a
    // deadly signal's handler.
    struct Case {
        const char* rest;
        int signal;
    } cases[] = {{"at 12: buttons=0\nat 20: quit\n", 0},
                 {"at 20: quit\n", 0},
                 {"at 9000: quit\n", SIGTERM},
                 {"at 9000: quit\n", SIGUSR1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rest + std::to_string(c.signal));
        std::filesystem::remove(Record());
        std::filesystem::remove(Record() + ".ioctl");
        std::unique_ptr<testing::ReplayChild> child =
            Start(std::string("joystick \"Pad\" buttons=4\nat 5: x=0\nat 10: x=32768 buttons=1\n") +
                      c.rest,
                  true);
        if (c.signal != 0) {
            ASSERT_TRUE(child->WaitForOutput(
                [](const std::string& out) { return HasLine(out, "tick=15 "); }));
            child->Signal(c.signal);
        }
        const int status = child->WaitStatus();
        EXPECT_TRUE(c.signal == SIGUSR1 ? WIFSIGNALED(status) && WTERMSIG(status) == SIGUSR1
                                        : WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << status << child->err;
        std::vector<std::string> expected;
        for (int tick = 5; tick < 10; ++tick) expected.insert(expected.end(), {"REL_X -2", "SYN"});
        expected.insert(expected.end(), {"BTN_LEFT 1", "SYN", "BTN_LEFT 0", "SYN"});
        EXPECT_EQ(Events(), expected);
        // The bits in any order, then made; destroyed and closed at a close.
        std::vector<std::string> requests = Lines(Record() + ".ioctl");
        const std::vector<std::string> closing = {"UI_DEV_DESTROY", "close"};
        if (c.signal != SIGUSR1) {
            ASSERT_GE(requests.size(), 2u);
            EXPECT_EQ(std::vector<std::string>(requests.end() - 2, requests.end()), closing);
            requests.resize(requests.size() - 2);
        }
        ASSERT_GE(requests.size(), 2u);
        EXPECT_EQ(
            std::set<std::string>(requests.begin(), requests.end() - 2),
            (std::set<std::string>{"UI_SET_EVBIT 0", "UI_SET_EVBIT 1", "UI_SET_EVBIT 2",
                                   "UI_SET_KEYBIT 272", "UI_SET_KEYBIT 273", "UI_SET_KEYBIT 274",
                                   "UI_SET_RELBIT 0", "UI_SET_RELBIT 1"}));
        EXPECT_EQ(std::vector<std::string>(requests.end() - 2, requests.end()),
                  (std::vector<std::string>{"UI_DEV_SETUP Gimbalo bus=6", "UI_DEV_CREATE"}));
    }
}

TEST_F(UinputReplay, MovesAndClicksAsXTestDoesTickForTick) {
    SKIP_WITHOUT_DISPLAY();
    // Out and back by the same way, so the pointer stays clear of the
    // edges; at speed 1.5, whose half pixels round on the coordinate.
    std::mt19937 random(15);
    std::string script = "joystick \"Pad\" buttons=4\n";
    int tick = 2;
    for (int leg = 0; leg < 24; ++leg) {
        const int x = static_cast<int>(random() % 3);
        const int y = x == 1 ? static_cast<int>(random() % 2) * 2 : static_cast<int>(random() % 3);
        const int ticks = 1 + static_cast<int>(random() % 60);
        const char* ends[] = {"0", "32768", "65535"};
        for (int back = 0; back < 2; ++back) {
            script += "at " + std::to_string(tick) + ": x=" + ends[back ? 2 - x : x] +
                      " y=" + ends[back ? 2 - y : y] + " buttons=" + std::to_string(random() % 8) +
                      "\n";
            tick += ticks;
            script += "at " + std::to_string(tick++) + ": x=32768 y=32768\n";
        }
    }
    script += "at " + std::to_string(tick + 2) + ": quit\n";

    const Spot centre = CentreXPointer();
    ASSERT_EQ(Run(script, false, "English.lng", "1.5"), 0) << err;
    const Trace xtest = ReadTrace(out);
    ASSERT_EQ(Run(script, true, "English.lng", "1.5"), 0) << err;
    const Trace uinput = ReadTrace(out);
    ASSERT_EQ(uinput.ticks.size(), xtest.ticks.size());
    for (std::size_t i = 0; i < xtest.ticks.size(); ++i) {
        EXPECT_EQ(uinput.ticks[i].at("pointer"), xtest.ticks[i].at("pointer")) << "tick " << i;
        EXPECT_EQ(uinput.ticks[i].at("events"), xtest.ticks[i].at("events")) << "tick " << i;
    }
    EXPECT_EQ(Events(), EventsOfTrace(uinput, centre));
}

TEST_F(UinputReplay, ADeviceThatCannotBeOpenedIsExplainedAndTheProgramRunsOn) {
    SKIP_WITHOUT_DISPLAY();
    struct Case {
        int error;
        const char* language;
        const char* said;
    } cases[] = {
        {ENOENT, "English.lng",
         "Gimbalo cannot move the pointer: /dev/uinput is missing, because the uinput kernel "
         "module is not loaded."},
        {EACCES, "Italiano.lng",
         "Gimbalo non può muovere il puntatore: non puoi ancora usare /dev/uinput. La regola di "
         "accesso installata con Gimbalo vale dal tuo prossimo accesso"},
        {EPERM, "Francais.lng", "vous ne pouvez pas encore utiliser /dev/uinput."},
        {EBUSY, "Deutsch.lng", "nicht angelegt werden. Starten Sie Gimbalo erneut."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        ASSERT_EQ(
            Run("joystick \"Pad\" buttons=4\nat 5: x=0 buttons=1\nat 30: quit\n", true, c.language,
                "2", {"GIMBALO_UINPUT_STAND_IN_ERRNO=" + std::to_string(c.error)}),
            0);
        const std::size_t said = err.find("gimbalo-replay: message \"Gimbalo\": ");
        ASSERT_NE(said, std::string::npos) << err;
        EXPECT_NE(err.find(c.said, said), std::string::npos) << err;
        EXPECT_EQ(err.find("gimbalo-replay: message", said + 1), std::string::npos) << err;
        // Nothing reached a device, and the settings are all there.
        EXPECT_FALSE(std::filesystem::exists(Record()));
        const Trace trace = ReadTrace(out);
        EXPECT_EQ(trace.ticks.back().at("pointer"), trace.ticks.front().at("pointer"));
        EXPECT_EQ(Lines(settings.File("Gimbalo.ini")).back(), std::string(c.language) + "\r");
    }
}

}  // namespace
}  // namespace gimbalo

// Last: Xlib's macros would clash with names above.
#include <X11/Xlib.h>

namespace gimbalo {
namespace {

Spot CentreXPointer() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return {};
    const Spot centre{DisplayWidth(display, DefaultScreen(display)) / 2,
                      DisplayHeight(display, DefaultScreen(display)) / 2};
    XWarpPointer(display, 0, DefaultRootWindow(display), 0, 0, 0, 0, centre.x, centre.y);
    XSync(display, False);
    XCloseDisplay(display);
    return centre;
}

}  // namespace
}  // namespace gimbalo
