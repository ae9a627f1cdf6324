// gimbalo-replay run as a user runs it: a script in, the trace, the settings
// file and the exit status out. The runs with a joystick need an X display
// (the project's test command runs the tests under Xvfb).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/linux/replay_child.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

using Fields = std::map<std::string, std::string>;

// "key=value key=value ..." of one trace line.
Fields LineFields(const std::string& line) {
    Fields fields;
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
        const std::size_t equals = word.find('=');
        fields[word.substr(0, equals)] =
            equals == std::string::npos ? std::string() : word.substr(equals + 1);
    }
    return fields;
}

struct Trace {
    std::vector<Fields> ticks;  // in order; ticks[i]["tick"] is i
    Fields end;                 // the closing line, empty when missing
};

Trace ReadTrace(const std::string& out) {
    Trace trace;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("tick=", 0) == 0) trace.ticks.push_back(LineFields(line));
        if (line.rfind("end ", 0) == 0) trace.end = LineFields(line);
    }
    return trace;
}

int PointerX(const Fields& tick) {
    return std::stoi(tick.at("pointer"));
}
int PointerY(const Fields& tick) {
    const std::string& pointer = tick.at("pointer");
    return std::stoi(pointer.substr(pointer.find(',') + 1));
}

bool HaveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && display[0] != '\0';
}

class ReplayRun : public ::testing::Test {
protected:
    ReplayRun() { chmod(runtime.Path().c_str(), 0700); }

    std::string WriteScript(const std::string& text) {
        const std::string path = scripts.File("run.script");
        testing::WriteFile(path, text);
        return path;
    }
    // Starts the replay on a script with the given arguments after it.
    std::unique_ptr<testing::ReplayChild> Start(const std::string& text,
                                                std::vector<std::string> arguments = {"--trace"}) {
        arguments.insert(arguments.begin(), WriteScript(text));
        auto child = std::make_unique<testing::ReplayChild>(GIMBALO_REPLAY_EXECUTABLE, arguments,
                                                            config.Path(), runtime.Path());
        EXPECT_TRUE(child->Started());
        return child;
    }
    // Runs a script to its end: the exit status, with `out` and `err` kept.
    int Run(const std::string& text, std::vector<std::string> arguments = {"--trace"}) {
        std::unique_ptr<testing::ReplayChild> child = Start(text, std::move(arguments));
        const int status = child->Wait();
        out = child->out;
        err = child->err;
        return status;
    }
    std::string SettingsFile() const { return config.Path() + "/gimbalo/Gimbalo.ini"; }

    testing::TempFolder config;
    testing::TempFolder runtime;
    testing::TempFolder scripts;
    std::string out;
    std::string err;
};

#define SKIP_WITHOUT_DISPLAY() \
    if (!HaveDisplay()) GTEST_SKIP() << "no X display"

TEST_F(ReplayRun, StickPushedLeftMovesThePointerLeftByTheGrowingStep) {
    SKIP_WITHOUT_DISPLAY();
    // First to the right edge, whatever run left the pointer where; then
    // centred for a tick, which sets the step; then held left.
    const int status =
        Run("joystick \"Pad\" buttons=4\n"
            "at 1: x=65535\n"
            "at 260: x=32768\n"
            "at 262: x=0\n"
            "at 372: quit\n");
    ASSERT_EQ(status, 0) << err;
    Trace trace = ReadTrace(out);
    ASSERT_EQ(trace.ticks.size(), 372u) << out;
    const int start = PointerX(trace.ticks[261]);
    ASSERT_GE(start, 600) << "the pointer did not reach the right side";
    EXPECT_EQ(trace.ticks[262].at("x"), "0");
    EXPECT_EQ(trace.ticks[262].at("y"), "32768");
    // 20 ticks of 2 pixels, 20 of 2.8 (3), 20 of 4.06 (4), 20 of 6.09 (6),
    // then 9.4395 (9) a tick.
    struct Stretch {
        std::size_t first, last;
        int dx;
    } stretches[] = {
        {262, 281, -2}, {282, 301, -3}, {302, 321, -4}, {322, 341, -6}, {342, 371, -9}};
    for (const Stretch& s : stretches)
        for (std::size_t tick = s.first; tick <= s.last; ++tick) {
            EXPECT_EQ(PointerX(trace.ticks[tick]) - PointerX(trace.ticks[tick - 1]), s.dx)
                << "tick " << tick;
            EXPECT_EQ(PointerY(trace.ticks[tick]), PointerY(trace.ticks[261])) << "tick " << tick;
        }
}

TEST_F(ReplayRun, ButtonPressGivesOneLeftDownAndTheReleaseOneLeftUp) {
    SKIP_WITHOUT_DISPLAY();
    const int status =
        Run("joystick \"Pad\" buttons=4\n"
            "at 3: buttons=0x1\n"
            "at 10: buttons=0\n"
            "at 15: quit\n");
    ASSERT_EQ(status, 0) << err;
    Trace trace = ReadTrace(out);
    ASSERT_EQ(trace.ticks.size(), 15u) << out;
    for (std::size_t tick = 0; tick < trace.ticks.size(); ++tick) {
        const Fields& line = trace.ticks[tick];
        EXPECT_EQ(line.at("tick"), std::to_string(tick));
        EXPECT_EQ(line.at("buttons"), tick >= 3 && tick < 10 ? "0x1" : "0x0") << "tick " << tick;
        const char* events = tick == 3 ? "LEFTDOWN" : tick == 10 ? "LEFTUP" : "-";
        EXPECT_EQ(line.at("events"), events) << "tick " << tick;
    }
    EXPECT_EQ(trace.end.at("events"), "-");
}

TEST_F(ReplayRun, QuitSavesTheSettingsAndLetsGoOfTheHeldButton) {
    SKIP_WITHOUT_DISPLAY();
    const int status =
        Run("joystick \"Pad\" buttons=2\n"
            "at 2: buttons=1\n"
            "at 5: quit\n");
    ASSERT_EQ(status, 0) << err;
    Trace trace = ReadTrace(out);
    EXPECT_EQ(trace.ticks.size(), 5u) << out;
    EXPECT_EQ(trace.end.at("ticks"), "5");
    EXPECT_EQ(trace.end.at("events"), "LEFTUP");
    const std::string settings = testing::ReadFile(SettingsFile());
    // Eight lines, each ended by CR LF: the first seven are the defaults.
    EXPECT_EQ(settings.substr(0, 21), "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\n") << settings;
    std::size_t lineEnds = 0;
    for (std::size_t at = settings.find("\r\n"); at != std::string::npos;
         at = settings.find("\r\n", at + 2))
        ++lineEnds;
    EXPECT_EQ(lineEnds, 8u) << settings;
    EXPECT_TRUE(settings.ends_with("\r\n")) << settings;
}

TEST_F(ReplayRun, TerminationSignalSavesTheSettingsAndExitsZero) {
    SKIP_WITHOUT_DISPLAY();
    std::unique_ptr<testing::ReplayChild> child = Start(
        "joystick \"Pad\" buttons=2\n"
        "at 1: buttons=1\n");  // held, and no quit: runs until told to stop
    ASSERT_TRUE(child->WaitForOutput([](const std::string& text) {
        return text.find("tick=3 ") != std::string::npos;
    })) << child->out
        << child->err;
    child->Signal(SIGTERM);
    EXPECT_EQ(child->Wait(), 0) << child->err;
    Trace trace = ReadTrace(child->out);
    EXPECT_EQ(trace.end.at("events"), "LEFTUP") << child->out;
    EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
}

TEST_F(ReplayRun, UnpluggedJoystickLetsGoOfTheButtonAndReadsNothing) {
    SKIP_WITHOUT_DISPLAY();
    const int status =
        Run("joystick \"Pad\" buttons=2\n"
            "at 1: buttons=1\n"
            "at 4: unplug\n"
            "at 7: quit\n");
    ASSERT_EQ(status, 0) << err;
    Trace trace = ReadTrace(out);
    ASSERT_EQ(trace.ticks.size(), 7u) << out;
    EXPECT_EQ(trace.ticks[3].at("buttons"), "0x1");
    EXPECT_EQ(trace.ticks[4].at("x"), "-");
    EXPECT_EQ(trace.ticks[4].at("buttons"), "-");
    EXPECT_EQ(trace.ticks[4].at("events"), "LEFTUP");
    EXPECT_EQ(trace.ticks[6].at("events"), "-");
    EXPECT_EQ(trace.end.at("events"), "-");
}

TEST_F(ReplayRun, NoJoystickDeclaredEndsAtStartUpWithStatusOne) {
    SKIP_WITHOUT_DISPLAY();
    EXPECT_EQ(Run("at 5: quit\n"), 1) << err;
    EXPECT_EQ(ReadTrace(out).ticks.size(), 0u) << out;
    EXPECT_NE(err.find("gimbalo-replay: message"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

// Refused before anything runs: no display is needed for these.
TEST_F(ReplayRun, BadScriptIsRefusedWithStatusTwoAndRunsNothing) {
    struct Case {
        const char* script;
        std::vector<std::string> expected;  // each after "SCRIPT:"
    } cases[] = {
        {"joystick \"Pad\" buttons=4\nat 3: x=70000\n",
         {"2: x=70000 is out of range (0 to 65535)"}},
        {"joystick \"Pad\" buttons=4\nat 3: x=0\nat 2: quit\n# fine\nwobble\n",
         {"3: tick 2 is before tick 3 on line 2",
          "5: unknown command \"wobble\" (expected \"joystick\" or \"at\")"}},
        {"joystick \"Pad buttons=4\n", {"1: missing closing quote"}},
    };
    for (const Case& c : cases) {
        std::string expected;
        for (const std::string& line : c.expected)
            expected += scripts.File("run.script") + ":" + line + "\n";
        EXPECT_EQ(Run(c.script), 2) << c.script;
        EXPECT_EQ(err, expected) << c.script;
        EXPECT_EQ(out, "") << c.script;
        EXPECT_FALSE(std::filesystem::exists(config.Path() + "/gimbalo")) << c.script;
    }
}

TEST_F(ReplayRun, UsageAndUnreadableScriptsGiveStatusTwo) {
    const std::string usage = "usage: gimbalo-replay SCRIPT [--trace]\n";
    struct Case {
        std::vector<std::string> arguments;
        std::string expected;
    } cases[] = {
        {{}, usage},
        {{"--trace"}, usage},
        {{"a.script", "b.script"}, usage},
        {{"a.script", "--fast"}, usage},
        {{scripts.File("missing.script")},
         scripts.File("missing.script") + ": cannot read: No such file or directory\n"},
        {{scripts.Path()}, scripts.Path() + ": cannot read: Is a directory\n"},
    };
    for (const Case& c : cases) {
        testing::ReplayChild child(GIMBALO_REPLAY_EXECUTABLE, c.arguments, config.Path(),
                                   runtime.Path());
        ASSERT_TRUE(child.Started());
        EXPECT_EQ(child.Wait(), 2) << c.expected;
        EXPECT_EQ(child.err, c.expected);
        EXPECT_EQ(child.out, "");
    }
}

}  // namespace
}  // namespace gimbalo
