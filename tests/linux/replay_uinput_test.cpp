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
#include <random>
#include <sstream>

#include "tests/linux/have_display.h"
#include "tests/linux/replay_child.h"
#include "tests/replay_trace_reading.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

// The events as words: "x-2" for REL_X -2, "y3", "L1" for BTN_LEFT down,
// "R0", "M1", and "." for a report.
std::string EventWords(const std::string& bytes) {
    std::string words;
    for (std::size_t at = 0; at + sizeof(input_event) <= bytes.size(); at += sizeof(input_event)) {
        input_event e;
        std::memcpy(&e, bytes.data() + at, sizeof e);
        words += e.type == EV_SYN ? std::string(".")
                                  : (e.code == REL_X       ? "x"
                                     : e.code == REL_Y     ? "y"
                                     : e.code == BTN_LEFT  ? "L"
                                     : e.code == BTN_RIGHT ? "R"
                                                           : "M") +
                                        std::to_string(e.value);
        words += " ";
    }
    return words;
}

// The words of what `trace` says the device was sent, from the pointer at
// (x, y): each tick's move an axis at a time, then its button events.
std::string WordsOfTrace(const Trace& trace, int x, int y) {
    std::string words;
    for (const Fields& tick : trace.ticks) {
        if (PointerX(tick) != x) words += "x" + std::to_string(PointerX(tick) - x) + " . ";
        if (PointerY(tick) != y) words += "y" + std::to_string(PointerY(tick) - y) + " . ";
        x = PointerX(tick);
        y = PointerY(tick);
        std::istringstream names(tick.at("events"));
        for (std::string name; std::getline(names, name, ',');)
            if (name != "-") words += name.substr(0, 1) + (name.ends_with("UP") ? "0 . " : "1 . ");
    }
    return words;
}

class UinputReplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display";
        chmod(runtime.Path().c_str(), 0700);
    }
    // Starts `script`, polling, with the trace, in `language` at `speed`,
    // with `env`.
    std::unique_ptr<testing::ReplayChild> Start(const std::string& script,
                                                const std::vector<std::string>& env,
                                                const std::string& language = "English.lng",
                                                const std::string& speed = "2") {
        testing::WriteFile(settings.File("Gimbalo.ini"),
                           "1\r\n2\r\n3\r\n" + speed + "\r\n1\r\n0\r\n0\r\n" + language + "\r\n");
        testing::WriteFile(scripts.File("run"), "joystick \"Pad\" buttons=4\n" + script);
        return std::make_unique<testing::ReplayChild>(
            GIMBALO_REPLAY_EXECUTABLE,
            std::vector<std::string>{scripts.File("run"), "--trace", "--poll", "--settings",
                                     settings.Path()},
            config.Path(), runtime.Path(), env);
    }
    // The pointer on the stand-in, with `more` in the environment.
    std::vector<std::string> Uinput(const std::string& more = "") const {
        const char* asan = std::getenv("ASAN_OPTIONS");
        return {"GIMBALO_POINTER=uinput", more,
                std::string("LD_PRELOAD=") + GIMBALO_UINPUT_STAND_IN,
                "GIMBALO_UINPUT_STAND_IN=" + Record(),
                "ASAN_OPTIONS=verify_asan_link_order=0:" + std::string(asan ? asan : "")};
    }
    std::string Record() const { return scripts.File("uinput"); }

    testing::TempFolder config, settings, runtime, scripts;
};

TEST_F(UinputReplay, TheDeviceGetsEachMoveAndClickAndLetsGoOrTheUserHearsWhyItCannotOpen) {
    // Pushed left for five ticks, then button 1 (left) pressed; let go by
    // the script, the close at its quit, a close request, a deadly signal.
    // Or the device does not open: the user hears why, in the settings'
    // language, and the program runs on to the script's quit.
    const struct {
        const char* rest;
        int signal, error;
        const char* language;
        const char* said;
    } cases[] = {
        {"at 12: buttons=0\nat 20: quit\n", 0, 0, "English.lng", nullptr},
        {"at 20: quit\n", 0, 0, "Italiano.lng", nullptr},
        {"at 9000: quit\n", SIGTERM, 0, "English.lng", nullptr},
        {"at 9000: quit\n", SIGUSR1, 0, "English.lng", nullptr},
        {"at 20: quit\n", 0, ENOENT, "English.lng",
         "/dev/uinput is missing, because the uinput kernel module"},
        {"at 20: quit\n", 0, EACCES, "Italiano.lng",
         "non puoi ancora usare /dev/uinput. La regola di accesso"},
        {"at 20: quit\n", 0, EPERM, "Francais.lng",
         "vous ne pouvez pas encore utiliser /dev/uinput."},
        {"at 20: quit\n", 0, EBUSY, "Deutsch.lng",
         "nicht angelegt werden. Starten Sie Gimbalo erneut."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rest + std::to_string(c.signal) + " " + std::to_string(c.error));
        std::filesystem::remove(Record());
        std::filesystem::remove(Record() + ".ioctl");
        auto child =
            Start(std::string("at 5: x=0\nat 10: x=32768 buttons=1\n") + c.rest,
                  Uinput(c.error ? "GIMBALO_UINPUT_STAND_IN_ERRNO=" + std::to_string(c.error) : ""),
                  c.language);
        if (c.signal != 0) {
            ASSERT_TRUE(child->WaitForOutput([](auto& out) { return HasLine(out, "tick=15 "); }));
            child->Signal(c.signal);
        }
        const int status = child->WaitStatus();
        EXPECT_TRUE(c.signal == SIGUSR1 ? WIFSIGNALED(status) && WTERMSIG(status) == SIGUSR1
                                        : WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << status << child->err;
        const std::string message = "gimbalo-replay: message \"Gimbalo\": ";
        const std::size_t said = child->err.find(message);
        EXPECT_EQ(said != std::string::npos, c.said != nullptr) << child->err;
        if (c.said != nullptr) {
            EXPECT_NE(child->err.find(c.said, said), std::string::npos) << child->err;
            EXPECT_EQ(child->err.find(message, said + 1), std::string::npos) << child->err;
        }
        EXPECT_EQ(EventWords(testing::ReadFile(Record())),
                  c.error ? "" : "x-2 . x-2 . x-2 . x-2 . x-2 . L1 . L0 . ");
        // Made (the bits in libevdev's order); destroyed and closed at a close.
        EXPECT_EQ(testing::ReadFile(Record() + ".ioctl"),
                  c.error ? ""
                          : "UI_SET_EVBIT 0\nUI_SET_EVBIT 1\nUI_SET_KEYBIT 272\nUI_SET_KEYBIT 273\n"
                            "UI_SET_KEYBIT 274\nUI_SET_EVBIT 2\nUI_SET_RELBIT 0\nUI_SET_RELBIT 1\n"
                            "UI_DEV_SETUP Gimbalo bus=6\nUI_DEV_CREATE\n" +
                                std::string(c.signal == SIGUSR1 ? "" : "UI_DEV_DESTROY\nclose\n"));
        // The settings written back whole at a close.
        EXPECT_TRUE(c.signal != 0 ||
                    testing::ReadFile(settings.File("Gimbalo.ini"))
                        .ends_with("\r\n0\r\n" + std::string(c.language) + "\r\n"));
    }
}

TEST_F(UinputReplay, MovesAndClicksAsXTestDoesTickForTick) {
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

    // The X pointer at the centre of the test's 1280 x 800 screen, as the device starts.
    ASSERT_EQ(std::system("xdotool mousemove 640 400"), 0);
    auto xtest = Start(script, {"GIMBALO_POINTER=xtest"}, "English.lng", "1.5");
    ASSERT_EQ(xtest->Wait(), 0) << xtest->err;
    auto uinput = Start(script, Uinput(), "English.lng", "1.5");
    ASSERT_EQ(uinput->Wait(), 0) << uinput->err;
    const Trace expected = ReadTrace(xtest->out), got = ReadTrace(uinput->out);
    ASSERT_EQ(got.ticks.size(), expected.ticks.size());
    ASSERT_EQ(got.ticks.front().at("pointer"), "640,400");
    for (std::size_t i = 0; i < got.ticks.size(); ++i) {
        EXPECT_EQ(got.ticks[i].at("pointer"), expected.ticks[i].at("pointer")) << "tick " << i;
        EXPECT_EQ(got.ticks[i].at("events"), expected.ticks[i].at("events")) << "tick " << i;
    }
    EXPECT_EQ(EventWords(testing::ReadFile(Record())), WordsOfTrace(got, 640, 400));
}

}  // namespace
}  // namespace gimbalo
