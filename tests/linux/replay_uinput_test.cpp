// gimbalo-replay with its pointer on the stand-in for /dev/uinput (uinput_stand_in.c), its
// windows on the X display; tests/replay_long_traces.sh compares long runs with XTest's.
#include <gtest/gtest.h>
#include <linux/input.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tests/linux/have_display.h"
#include "tests/linux/replay_child.h"
#include "tests/replay_trace_reading.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

// The events as words: "x-2" for REL_X -2, "y3", "L1" for BTN_LEFT down, "R0", "M1"; "." a report.
std::string EventWords(const std::string& bytes) {
    std::string words;
    input_event e;
    for (std::size_t at = 0; at + sizeof e <= bytes.size(); at += sizeof e) {
        std::memcpy(&e, bytes.data() + at, sizeof e);
        if (e.type == EV_SYN)
            words += ". ";
        else
            words += (e.type == EV_REL ? "xy"[e.code & 1] : "LRM"[(e.code - BTN_LEFT) % 3]) +
                     std::to_string(e.value) + " ";
    }
    return words;
}

class UinputReplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display";
        chmod(runtime.Path().c_str(), 0700);
    }
    // Starts `script`, polling, with the trace, in `language`, the pointer
    // on the stand-in, `more` in the environment.
    std::unique_ptr<testing::ReplayChild> Start(const std::string& script,
                                                const std::string& language,
                                                const std::string& more) {
        testing::WriteFile(settings.File("Gimbalo.ini"),
                           "1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n0\r\n" + language + "\r\n");
        testing::WriteFile(scripts.File("run"), "joystick \"Pad\" buttons=4\n" + script);
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::vector<std::string> env{
            "GIMBALO_POINTER=uinput", std::string("LD_PRELOAD=") + GIMBALO_UINPUT_STAND_IN,
            "GIMBALO_UINPUT_STAND_IN=" + Record(), more,
            "ASAN_OPTIONS=verify_asan_link_order=0:" + std::string(asan ? asan : "")};
        return std::make_unique<testing::ReplayChild>(
            GIMBALO_REPLAY_EXECUTABLE,
            std::vector<std::string>{scripts.File("run"), "--trace", "--poll", "--settings",
                                     settings.Path()},
            config.Path(), runtime.Path(), env);
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
        const char *language, *said;
    } cases[] = {
        {"at 12: buttons=0\nat 20: quit\n", 0, 0, "English.lng", nullptr},
        {"at 20: quit\n", 0, 0, "Italiano.lng", nullptr},
        {"at 9000: quit\n", SIGTERM, 0, "English.lng", nullptr},
        {"at 9000: quit\n", SIGUSR1, 0, "English.lng", nullptr},
        {"at 20: quit\n", 0, ENOENT, "English.lng",
         "/dev/uinput is missing, because the uinput kernel module"},
        {"at 20: quit\n", 0, EACCES, "Italiano.lng",
         "non puoi ancora usare /dev/uinput. La regola di accesso"},
        {"at 20: quit\n", 0, EBUSY, "Deutsch.lng",
         "nicht angelegt werden. Starten Sie Gimbalo erneut."},
    };
    // Made (the bits in libevdev's order); destroyed and closed at a close.
    const std::string made =
        "UI_SET_EVBIT 0\nUI_SET_EVBIT 1\nUI_SET_KEYBIT 272\nUI_SET_KEYBIT 273\nUI_SET_KEYBIT 274\n"
        "UI_SET_EVBIT 2\nUI_SET_RELBIT 0\nUI_SET_RELBIT 1\nUI_DEV_SETUP Gimbalo bus=6\n"
        "UI_DEV_CREATE\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rest + std::to_string(c.signal) + " " + std::to_string(c.error));
        for (const std::string& file : {Record(), Record() + ".ioctl"})
            std::filesystem::remove(file);
        auto child =
            Start(std::string("at 5: x=0\nat 10: x=32768 buttons=1\n") + c.rest, c.language,
                  "GIMBALO_UINPUT_STAND_IN_ERRNO" + (c.error ? "=" + std::to_string(c.error) : ""));
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
        EXPECT_EQ(testing::ReadFile(Record() + ".ioctl"),
                  c.error ? "" : made + (c.signal == SIGUSR1 ? "" : "UI_DEV_DESTROY\nclose\n"));
        // The settings written back whole at a close.
        EXPECT_TRUE(c.signal != 0 ||
                    testing::ReadFile(settings.File("Gimbalo.ini"))
                        .ends_with("\r\n0\r\n" + std::string(c.language) + "\r\n"));
    }
}

}  // namespace
}  // namespace gimbalo
