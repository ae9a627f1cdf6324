// gimbalo-replay with the pointer on /dev/uinput, as on a Wayland session:
// the stand-in preloaded in the device's place (uinput_stand_in.c) keeps
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
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/linux/have_display.h"
#include "tests/linux/replay_child.h"
#include "tests/replay_trace_reading.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

// Puts the X pointer at (x, y) (defined at the end, after Xlib).
void PutXPointer(int x, int y);

// The events as words: "x-2" for REL_X -2, "y3", "L1" for BTN_LEFT down,
// "R0", "M1", and "." for a report.
std::string EventWords(const std::string& bytes) {
    std::string words;
    for (std::size_t at = 0; at + sizeof(input_event) <= bytes.size(); at += sizeof(input_event)) {
        input_event event;
        std::memcpy(&event, bytes.data() + at, sizeof event);
        const char* name = event.type == EV_SYN      ? "."
                           : event.code == REL_X     ? "x"
                           : event.code == REL_Y     ? "y"
                           : event.code == BTN_LEFT  ? "L"
                           : event.code == BTN_RIGHT ? "R"
                                                     : "M";
        words += name + (event.type == EV_SYN ? "" : std::to_string(event.value)) + " ";
    }
    return words;
}

// The words of what `trace` says the device should have been sent, from
// the pointer at (x, y): each tick's move an axis at a time, then its
// button events, each with its report.
std::string WordsOfTrace(const Trace& trace, int x, int y) {
    std::string words;
    for (const Fields& tick : trace.ticks) {
        if (PointerX(tick) != x) words += "x" + std::to_string(PointerX(tick) - x) + " . ";
        if (PointerY(tick) != y) words += "y" + std::to_string(PointerY(tick) - y) + " . ";
        x = PointerX(tick);
        y = PointerY(tick);
        std::istringstream names(tick.at("events"));
        for (std::string name; std::getline(names, name, ',');)
            if (name != "-")
                words += name.substr(0, 1) + (name.ends_with("DOWN") ? "1 . " : "0 . ");
    }
    return words;
}

class UinputReplay : public ::testing::Test {
protected:
    UinputReplay() { chmod(runtime.Path().c_str(), 0700); }

    // Starts `script`, polling, with the trace, in `language` at `speed`;
    // the pointer on the stand-in, or on XTest.
    std::unique_ptr<testing::ReplayChild> Start(const std::string& script, bool uinput,
                                                const std::string& language = "English.lng",
                                                const std::string& speed = "2",
                                                const std::string& more = "") {
        testing::WriteFile(settings.File("Gimbalo.ini"),
                           "1\r\n2\r\n3\r\n" + speed + "\r\n1\r\n0\r\n0\r\n" + language + "\r\n");
        testing::WriteFile(scripts.File("run.script"), "joystick \"Pad\" buttons=4\n" + script);
        std::vector<std::string> env = {uinput ? "GIMBALO_POINTER=uinput"
                                               : "GIMBALO_POINTER=xtest"};
        if (!more.empty()) env.push_back(more);
        const char* asan = std::getenv("ASAN_OPTIONS");
        if (uinput)
            env.insert(env.end(), {std::string("LD_PRELOAD=") + GIMBALO_UINPUT_STAND_IN,
                                   "GIMBALO_UINPUT_STAND_IN=" + Record(),
                                   "ASAN_OPTIONS=verify_asan_link_order=0:" +
                                       std::string(asan != nullptr ? asan : "")});
        return std::make_unique<testing::ReplayChild>(
            GIMBALO_REPLAY_EXECUTABLE,
            std::vector<std::string>{scripts.File("run.script"), "--trace", "--poll", "--settings",
                                     settings.Path()},
            config.Path(), runtime.Path(), env);
    }
    // The same, run to its end: the exit status, with the output kept.
    int Run(const std::string& script, bool uinput, const std::string& language = "English.lng",
            const std::string& speed = "2", const std::string& more = "") {
        std::unique_ptr<testing::ReplayChild> child = Start(script, uinput, language, speed, more);
        const int status = child->Wait();
        out = child->out;
        err = child->err;
        return status;
    }
    std::string Record() const { return scripts.File("uinput"); }

    testing::TempFolder config, settings, runtime, scripts;
    std::string out, err;
};

#define SKIP_WITHOUT_DISPLAY() \
    if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display"

TEST_F(UinputReplay, TheDeviceIsMadeAndSentEachMoveAndClickAndLetsGoHoweverTheProgramEnds) {
    SKIP_WITHOUT_DISPLAY();
    // Pushed left for five ticks, then button 1 (left) pressed; let go by
    // the script, the close at its quit, a close request, a deadly signal.
    const struct {
        const char* rest;
        int signal;
    } cases[] = {{"at 12: buttons=0\nat 20: quit\n", 0},
                 {"at 20: quit\n", 0},
                 {"at 9000: quit\n", SIGTERM},
                 {"at 9000: quit\n", SIGUSR1}};
    const std::string made =
        "UI_SET_EVBIT 0\nUI_SET_EVBIT 1\nUI_SET_KEYBIT 272\nUI_SET_KEYBIT 273\nUI_SET_KEYBIT "
        "274\nUI_SET_EVBIT 2\nUI_SET_RELBIT 0\nUI_SET_RELBIT 1\nUI_DEV_SETUP Gimbalo bus=6\n"
        "UI_DEV_CREATE\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rest + std::to_string(c.signal));
        std::filesystem::remove(Record());
        std::filesystem::remove(Record() + ".ioctl");
        auto child = Start(std::string("at 5: x=0\nat 10: x=32768 buttons=1\n") + c.rest, true);
        if (c.signal != 0) {
            ASSERT_TRUE(child->WaitForOutput(
                [](const std::string& text) { return HasLine(text, "tick=15 "); }));
            child->Signal(c.signal);
        }
        const int status = child->WaitStatus();
        EXPECT_TRUE(c.signal == SIGUSR1 ? WIFSIGNALED(status) && WTERMSIG(status) == SIGUSR1
                                        : WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << status << child->err;
        EXPECT_EQ(EventWords(testing::ReadFile(Record())),
                  "x-2 . x-2 . x-2 . x-2 . x-2 . L1 . L0 . ");
        // Made (the bits in libevdev's order); destroyed and closed at a close.
        EXPECT_EQ(testing::ReadFile(Record() + ".ioctl"),
                  made + (c.signal == SIGUSR1 ? "" : "UI_DEV_DESTROY\nclose\n"));
    }
}

TEST_F(UinputReplay, MovesAndClicksAsXTestDoesTickForTick) {
    SKIP_WITHOUT_DISPLAY();
    // Out and back the same way, so the pointer stays clear of the edges,
    // with random buttons; at speed 1.5, whose half pixels round on the
    // coordinate.
    std::mt19937 random(15);
    const char* ends[] = {"0", "32768", "65535"};
    std::string script;
    int tick = 2;
    for (int leg = 0; leg < 24; ++leg) {
        const int x = static_cast<int>(random() % 3);
        const int y = x == 1 ? static_cast<int>(random() % 2) * 2 : static_cast<int>(random() % 3);
        const int ticks = 1 + static_cast<int>(random() % 60);
        for (int back = 0; back < 2; ++back, tick += ticks + 1)
            script += "at " + std::to_string(tick) + ": x=" + ends[back ? 2 - x : x] +
                      " y=" + ends[back ? 2 - y : y] + " buttons=" + std::to_string(random() % 8) +
                      "\nat " + std::to_string(tick + ticks) + ": x=32768 y=32768\n";
    }
    script += "at " + std::to_string(tick + 2) + ": quit\n";

    PutXPointer(640, 400);  // the centre of the test's 1280 x 800 screen
    ASSERT_EQ(Run(script, false, "English.lng", "1.5"), 0) << err;
    const Trace xtest = ReadTrace(out);
    ASSERT_EQ(Run(script, true, "English.lng", "1.5"), 0) << err;
    const Trace uinput = ReadTrace(out);
    ASSERT_EQ(uinput.ticks.size(), xtest.ticks.size());
    ASSERT_EQ(uinput.ticks.front().at("pointer"), "640,400");
    for (std::size_t i = 0; i < xtest.ticks.size(); ++i) {
        EXPECT_EQ(uinput.ticks[i].at("pointer"), xtest.ticks[i].at("pointer")) << "tick " << i;
        EXPECT_EQ(uinput.ticks[i].at("events"), xtest.ticks[i].at("events")) << "tick " << i;
    }
    EXPECT_EQ(EventWords(testing::ReadFile(Record())), WordsOfTrace(uinput, 640, 400));
}

TEST_F(UinputReplay, ADeviceThatCannotBeOpenedIsExplainedAndTheProgramRunsOn) {
    SKIP_WITHOUT_DISPLAY();
    const struct {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        ASSERT_EQ(Run("at 5: x=0 buttons=1\nat 30: quit\n", true, c.language, "2",
                      "GIMBALO_UINPUT_STAND_IN_ERRNO=" + std::to_string(c.error)),
                  0);
        const std::size_t said = err.find("gimbalo-replay: message \"Gimbalo\": ");
        ASSERT_NE(said, std::string::npos) << err;
        EXPECT_NE(err.find(c.said, said), std::string::npos) << err;
        EXPECT_EQ(err.find("gimbalo-replay: message", said + 1), std::string::npos) << err;
        // Nothing reached a device, and the settings are all there.
        EXPECT_FALSE(std::filesystem::exists(Record()));
        const Trace trace = ReadTrace(out);
        EXPECT_EQ(trace.ticks.back().at("pointer"), trace.ticks.front().at("pointer"));
        EXPECT_TRUE(testing::ReadFile(settings.File("Gimbalo.ini"))
                        .ends_with(c.language + std::string("\r\n")));
    }
}

}  // namespace
}  // namespace gimbalo

// Last: Xlib's macros would clash with names above.
#include <X11/Xlib.h>

namespace gimbalo {
namespace {

void PutXPointer(int x, int y) {
    if (Display* display = XOpenDisplay(nullptr)) {
        XWarpPointer(display, 0, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
        XSync(display, False);
        XCloseDisplay(display);
    }
}

}  // namespace
}  // namespace gimbalo
