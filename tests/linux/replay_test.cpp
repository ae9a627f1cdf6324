// gimbalo-replay run as a user runs it: a script in, the trace, the settings
// file and the exit status out. The runs with a joystick need an X display
// (the project's test command runs the tests under Xvfb).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/linux/child_processes.h"
#include "tests/linux/have_display.h"
#include "tests/linux/replay_child.h"
#include "tests/replay_trace_reading.h"
#include "tests/test_support.h"
// Last: Xlib's macros would clash with names above.
#include "tests/linux/replay_x_windows.h"

namespace gimbalo {
namespace {

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
                                                std::vector<std::string> arguments = {"--trace"},
                                                const std::vector<std::string>& env = {}) {
        arguments.insert(arguments.begin(), WriteScript(text));
        arguments.insert(arguments.end(), {"--settings", settings.Path()});
        auto child = std::make_unique<testing::ReplayChild>(GIMBALO_REPLAY_EXECUTABLE, arguments,
                                                            config.Path(), runtime.Path(), env);
        EXPECT_TRUE(child->Started());
        return child;
    }
    // Runs a script to its end: the exit status, with `out` and `err` kept.
    int Run(const std::string& text, std::vector<std::string> arguments = {"--trace"}) {
        std::unique_ptr<testing::ReplayChild> child = Start(text, std::move(arguments));
        return Finish(*child);
    }
    int Finish(testing::ReplayChild& child) {
        const int status = child.Wait();
        out = child.out;
        err = child.err;
        return status;
    }
    std::string SettingsFile() const { return settings.Path() + "/Gimbalo.ini"; }
    // A settings file from an earlier run, in `lineEnd` line ends.
    void WriteSettings(const std::string& language, const std::string& lineEnd = "\r\n") {
        std::string text;
        for (const char* line : {"1", "2", "3", "2", "1", "1", "0"}) text += line + lineEnd;
        testing::WriteFile(SettingsFile(), text + language + lineEnd);
    }
    // The lines of the settings file, without their ends.
    std::vector<std::string> SettingsLines() const {
        std::vector<std::string> lines;
        std::istringstream text(testing::ReadFile(SettingsFile()));
        std::string line;
        while (std::getline(text, line)) {
            if (line.ends_with('\r')) line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    // The user's configuration folder, which a replay must leave alone.
    testing::TempFolder config;
    testing::TempFolder settings;
    testing::TempFolder runtime;
    testing::TempFolder scripts;
    std::string out;
    std::string err;
};

#define SKIP_WITHOUT_DISPLAY() \
    if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display"

// Waits until `done` holds, asking again every few milliseconds; whether it
// came true before the deadline.
bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + testing::kChildDeadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The child's shown windows whose titles end with `end`.
std::vector<testing::ShownWindow> WindowsTitled(const testing::ReplayChild& child,
                                                const std::string& end) {
    std::vector<testing::ShownWindow> titled;
    for (const testing::ShownWindow& window : testing::ShownWindowsOf(child.Pid()))
        if (window.title.ends_with(end)) titled.push_back(window);
    return titled;
}

std::function<bool(const std::string&)> LineStarting(const std::string& start) {
    return [start](const std::string& text) { return HasLine(text, start); };
}

// The folder the replay runs from, which holds Lang/ as an installed copy does.
std::string ProgramFolder() {
    return std::filesystem::path(GIMBALO_REPLAY_EXECUTABLE).parent_path().string();
}

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
    for (std::size_t tick = 262; tick <= 371; ++tick) {
        const int held = static_cast<int>(tick) - 261;
        EXPECT_EQ(PointerX(trace.ticks[tick]) - PointerX(trace.ticks[tick - 1]),
                  -testing::GrowingStepAt(held))
            << "tick " << tick;
        EXPECT_EQ(PointerY(trace.ticks[tick]), PointerY(trace.ticks[261])) << "tick " << tick;
    }
}

TEST_F(ReplayRun, RestingRunDoesWhatPollingDoesAtEveryTickAndSkipsOnlyIdleOnes) {
    SKIP_WITHOUT_DISPLAY();
    const std::string script =
        "joystick \"Pad\" buttons=8\n"
        "at 1: x=65535 y=65535\n"  // into the corner, wherever the pointer was
        "at 300: x=32768 y=32768\n"
        "at 400: x=0\n"
        "at 460: x=32768\n"
        "at 600: y=0 buttons=0x1\n"
        "at 640: y=32768\n"  // the button stays down: no rest
        "at 700: buttons=0\n"
        "at 900: buttons=0x3\n"  // a chord, then the right button alone
        "at 910: buttons=0x2\n"
        "at 920: buttons=0\n"
        "at 1100: x=63851 y=149\n"
        "at 1150: x=40000 y=20000\n"  // off centre, within the thresholds
        "at 1400: x=65535\n"
        "at 1420: unplug\n"
        "at 1700: quit\n";
    ASSERT_EQ(Run(script, {"--trace", "--poll"}), 0) << err;
    const Trace polled = ReadTrace(out);
    const std::string polledOut = out;
    std::filesystem::remove(SettingsFile());
    ASSERT_EQ(Run(script), 0) << err;
    const Trace rested = ReadTrace(out);
    ASSERT_EQ(polled.ticks.size(), 1700u) << polledOut;
    EXPECT_EQ(polledOut.find("rest tick="), std::string::npos) << polledOut;
    EXPECT_LT(rested.ticks.size(), 1000u) << out;
    std::map<std::string, Fields> ran;
    for (const Fields& tick : rested.ticks) ran[tick.at("tick")] = tick;
    for (std::size_t tick = 300; tick < polled.ticks.size(); ++tick) {
        const Fields& line = polled.ticks[tick];
        const auto same = ran.find(std::to_string(tick));
        if (same != ran.end()) {
            EXPECT_EQ(same->second, line) << "tick " << tick;
            continue;
        }
        // Skipped: polling did nothing there.
        EXPECT_EQ(line.at("events"), "-") << "tick " << tick;
        EXPECT_EQ(line.at("pointer"), polled.ticks[tick - 1].at("pointer")) << "tick " << tick;
    }
    EXPECT_EQ(rested.end, polled.end);
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
    // Four ticks at rest after the release, then the program sleeps until
    // the quit is due; the skipped ticks still count.
    ASSERT_EQ(trace.ticks.size(), 14u) << out;
    for (std::size_t tick = 0; tick < trace.ticks.size(); ++tick) {
        const Fields& line = trace.ticks[tick];
        EXPECT_EQ(line.at("tick"), std::to_string(tick));
        EXPECT_EQ(line.at("buttons"), tick >= 3 && tick < 10 ? "0x1" : "0x0") << "tick " << tick;
        const char* events = tick == 3 ? "LEFTDOWN" : tick == 10 ? "LEFTUP" : "-";
        EXPECT_EQ(line.at("events"), events) << "tick " << tick;
    }
    EXPECT_TRUE(HasLine(out, "rest tick=13\nwake tick=15\n")) << out;
    EXPECT_EQ(trace.end.at("ticks"), "15");
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

TEST_F(ReplayRun, TerminationSignalsSaveTheSettingsLetGoOfTheButtonAndExitZero) {
    SKIP_WITHOUT_DISPLAY();
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        std::filesystem::remove(SettingsFile());
        std::unique_ptr<testing::ReplayChild> child = Start(
            "joystick \"Pad\" buttons=2\n"
            "at 1: buttons=1\n");  // held, and no quit: runs until told to stop
        ASSERT_TRUE(child->WaitForOutput([](const std::string& text) {
            return text.find("tick=3 ") != std::string::npos;
        })) << child->out
            << child->err;
        EXPECT_EQ(testing::HeldMouseButtons(), Button1Mask) << signalNumber;
        child->Signal(signalNumber);
        EXPECT_EQ(child->Wait(), 0) << signalNumber << ": " << child->err;
        Trace trace = ReadTrace(child->out);
        EXPECT_EQ(trace.end["events"], "LEFTUP") << signalNumber << ": " << child->out;
        EXPECT_EQ(testing::HeldMouseButtons(), 0) << signalNumber;
        EXPECT_TRUE(std::filesystem::exists(SettingsFile())) << signalNumber;
    }
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

// Device 0 pushed right with button 1 down is read only when no joystick has
// the number of the one in use (a second pad, centred).
TEST_F(ReplayRun, TheJoystickInUseIsReadAndDeviceZeroOnlyWhenNoneHasItsNumber) {
    SKIP_WITHOUT_DISPLAY();
    for (const std::string inUse : {"1", "5"}) {
        const bool zero = inUse == "5";
        testing::WriteFile(SettingsFile(), "1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n" + inUse + "\r\n\r\n");
        ASSERT_EQ(Run("joystick \"Wheel\" buttons=2\njoystick \"Pad\" buttons=4\n"
                      "at 1: x=65535 buttons=0x1\nat 6: quit\n"),
                  0)
            << err;
        const Trace trace = ReadTrace(out);
        ASSERT_EQ(trace.ticks.size(), 6u) << out;
        EXPECT_EQ(trace.ticks[3].at("x"), zero ? "65535" : "32768") << out;
        EXPECT_EQ(trace.end.at("events"), zero ? "LEFTUP" : "-") << out;
    }
}

TEST_F(ReplayRun, NoJoystickDeclaredEndsAtStartUpWithStatusOne) {
    SKIP_WITHOUT_DISPLAY();
    EXPECT_EQ(Run("at 5: quit\n"), 1) << err;
    EXPECT_EQ(ReadTrace(out).ticks.size(), 0u) << out;
    EXPECT_NE(err.find("gimbalo-replay: message"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

TEST_F(ReplayRun, MenuOptionsCommandShowsTheOptionsDialogOnceOnTheScreen) {
    SKIP_WITHOUT_DISPLAY();
    // The options dialog's title ends with the name of the joystick in use.
    WriteSettings("English.lng");
    const std::string title = " - Pad";
    std::unique_ptr<testing::ReplayChild> child = Start(
        "joystick \"Pad\" buttons=4\n"
        "at 10: menu mnuDef\n"
        "at 30: menu mnuDef\n");  // a second choice shows the same dialog
    // The stick rests from the start: the program sleeps after tick 3.
    ASSERT_TRUE(child->WaitForOutput(LineStarting("rest tick=3"))) << child->out << child->err;
    EXPECT_TRUE(WindowsTitled(*child, title).empty()) << "shown before it was chosen";

    ASSERT_TRUE(child->WaitForOutput(LineStarting("tick=30 menu=mnuDef")))
        << child->out << child->err;
    ASSERT_TRUE(WaitFor([&] { return !WindowsTitled(*child, title).empty(); }))
        << "the options dialog did not appear";
    const std::vector<testing::ShownWindow> dialogs = WindowsTitled(*child, title);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].width, 497);
    EXPECT_EQ(dialogs[0].height, 312);
    // Polling goes on after the command.
    EXPECT_TRUE(child->WaitForOutput(LineStarting("tick=31 "))) << child->out;

    child->Signal(SIGTERM);
    EXPECT_EQ(Finish(*child), 0) << err;
    const Trace trace = ReadTrace(out);
    ASSERT_EQ(trace.menus.size(), 2u) << out;
    EXPECT_EQ(trace.menus[0].at("tick"), "10");
    EXPECT_EQ(trace.menus[0].at("menu"), "mnuDef");
    EXPECT_EQ(trace.menus[1].at("tick"), "30");
    // A command runs after the tick it is due at, and polling goes on.
    const auto at = [&](const std::string& entry) {
        return std::find(trace.order.begin(), trace.order.end(), entry) - trace.order.begin();
    };
    EXPECT_LT(at("tick=10"), at("menu=mnuDef")) << out;
}

TEST_F(ReplayRun, LanguageCommandTakesTheScriptsAnswerOrACancelAndSavesEitherWay) {
    SKIP_WITHOUT_DISPLAY();
    const std::string italiano = ProgramFolder() + "/Lang/Italiano.lng";
    const std::string noAnswerNote = "\": cancelled, the script has no answer for it\n";
    struct Case {
        std::string steps;
        const char* language;  // the eighth line of the settings afterwards
        bool noted;            // whether a dialog went unanswered
    } cases[] = {
        {"at 5: dialog \"" + italiano + "\"\nat 5: menu mnuLingua\n", "Italiano.lng", false},
        // An answer given at the command's own tick serves it in either order.
        {"at 5: menu mnuLingua\nat 5: dialog \"" + italiano + "\"\n", "Italiano.lng", false},
        // Answers are taken in order, one per dialog.
        {"at 2: dialog cancel\nat 3: dialog \"" + italiano +
             "\"\nat 5: menu mnuLingua\nat 6: menu mnuLingua\n",
         "Italiano.lng", false},
        {"at 5: dialog cancel\nat 5: menu mnuLingua\n", "English.lng", false},
        {"at 5: menu mnuLingua\n", "English.lng", true},
    };
    for (const Case& c : cases) {
        // Written with LF line ends: the command's own save puts CR LF.
        WriteSettings("English.lng", "\n");
        std::unique_ptr<testing::ReplayChild> child =
            Start("joystick \"Pad\" buttons=4\n" + c.steps);
        // Saved by the command itself, with CR LF, while the program runs.
        ASSERT_TRUE(WaitFor([&] {
            const std::vector<std::string> lines = SettingsLines();
            return testing::ReadFile(SettingsFile()).find("\r\n") != std::string::npos &&
                   lines.size() == 8 && lines[7] == c.language;
        })) << "not saved by the command: "
            << c.steps << testing::ReadFile(SettingsFile()) << child->err;
        std::vector<std::string> lines;

        child->Signal(SIGTERM);
        EXPECT_EQ(Finish(*child), 0) << c.steps << err;
        lines = SettingsLines();
        ASSERT_EQ(lines.size(), 8u);
        EXPECT_EQ(lines[7], c.language) << c.steps;
        EXPECT_EQ(err.find("gimbalo-replay: open dialog \"") != std::string::npos &&
                      err.find(noAnswerNote) != std::string::npos,
                  c.noted)
            << c.steps << err;
    }
}

TEST_F(ReplayRun, TranslationPageCommandWritesThePageAndOpensIt) {
    SKIP_WITHOUT_DISPLAY();
    // A stand-in for the desktop's handler writes down what it was asked to
    // open, all at once.
    const std::string bin = scripts.File("bin");
    std::filesystem::create_directories(bin);
    const std::string opener = bin + "/xdg-open";
    testing::WriteFile(opener,
                       "#!/bin/sh\n"
                       "printf '%s\\n' \"$@\" > \"$GIMBALO_TEST_OUT.part\" && "
                       "mv \"$GIMBALO_TEST_OUT.part\" \"$GIMBALO_TEST_OUT\"\n");
    chmod(opener.c_str(), 0700);
    const std::string opened = scripts.File("opened");

    std::unique_ptr<testing::ReplayChild> child =
        Start("joystick \"Pad\" buttons=4\nat 5: menu mnuAggLingua\nat 10: quit\n", {"--trace"},
              {"PATH=" + bin + ":/usr/bin:/bin", "GIMBALO_TEST_OUT=" + opened});
    EXPECT_EQ(Finish(*child), 0) << err;
    const std::string page = settings.Path() + "/Invia_Traduzione.html";
    EXPECT_NE(testing::ReadFile(page).find("<HTML>"), std::string::npos) << page;
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(opened); }))
        << "the opener was not started";
    EXPECT_EQ(testing::ReadFile(opened), "file://" + page + "\n");
}

TEST_F(ReplayRun, MenuExitSavesTheSettingsLetsGoOfTheButtonAndExitsZero) {
    SKIP_WITHOUT_DISPLAY();
    const int status =
        Run("joystick \"Pad\" buttons=2\n"
            "at 2: buttons=1\n"
            "at 6: menu mnuExit\n");
    ASSERT_EQ(status, 0) << err;
    const Trace trace = ReadTrace(out);
    EXPECT_EQ(trace.ticks.size(), 6u) << out;
    ASSERT_EQ(trace.menus.size(), 1u) << out;
    EXPECT_EQ(trace.menus[0].at("tick"), "6");
    EXPECT_EQ(trace.order.back(), "menu=mnuExit");
    EXPECT_EQ(trace.end.at("ticks"), "6");
    EXPECT_EQ(trace.end.at("events"), "LEFTUP");
    EXPECT_EQ(SettingsLines().size(), 8u);
}

TEST_F(ReplayRun, LeavesTheUsersAutostartEntryAndSettingsAlone) {
    SKIP_WITHOUT_DISPLAY();
    const std::string entry = config.Path() + "/autostart/Gimbalo.desktop";
    const std::string usersSettings = config.Path() + "/gimbalo/Gimbalo.ini";
    std::filesystem::create_directories(config.Path() + "/autostart");
    std::filesystem::create_directories(config.Path() + "/gimbalo");
    testing::WriteFile(entry, "the user's own entry\n");
    testing::WriteFile(usersSettings, "the user's own settings\n");

    // Autostart on, then off: the program writes, then deletes its entry.
    for (const char* autostart : {"1", "0"}) {
        std::string text;
        for (const char* line : {"1", "2", "3", "2", "1", autostart, "0", "English.lng"})
            text += std::string(line) + "\r\n";
        testing::WriteFile(SettingsFile(), text);
        EXPECT_EQ(Run("joystick \"Pad\" buttons=2\nat 3: quit\n"), 0) << err;
        EXPECT_NE(err.find("gimbalo-replay: autostart entry \"Gimbalo\" left alone"),
                  std::string::npos)
            << err;
        EXPECT_EQ(SettingsLines().size(), 8u);
        EXPECT_EQ(testing::ReadFile(entry), "the user's own entry\n") << autostart;
    }

    // Without --settings: a temporary folder, gone at exit.
    testing::TempFolder temporary;
    testing::ReplayChild child(GIMBALO_REPLAY_EXECUTABLE,
                               {WriteScript("joystick \"Pad\" buttons=2\nat 3: quit\n")},
                               config.Path(), runtime.Path(), {"TMPDIR=" + temporary.Path()});
    ASSERT_TRUE(child.Started());
    EXPECT_EQ(child.Wait(), 0) << child.err;
    EXPECT_EQ(testing::ReadFile(usersSettings), "the user's own settings\n");
    EXPECT_EQ(testing::ReadFile(entry), "the user's own entry\n");
    EXPECT_TRUE(std::filesystem::is_empty(temporary.Path()));
    const std::vector<std::string> inConfig = {"autostart", "gimbalo"};
    std::vector<std::string> found;
    for (const auto& item : std::filesystem::directory_iterator(config.Path()))
        found.push_back(item.path().filename().string());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, inConfig);
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
        {"joystick \"Pad\" buttons=4\nat 3: menu R0\nat 4: menu mnuExit\nat 5: dialog cancel\n",
         {"2: unknown menu item \"R0\" (the commands are mnuDef, mnuLingua, mnuAggLingua, "
          "mnuDonazione, mnuAggiornamenti, mnuLicenza, mnuVersioni, mnuAbout or mnuExit)",
          "4: nothing runs after menu mnuExit on line 3"}},
    };
    for (const Case& c : cases) {
        std::string expected;
        for (const std::string& line : c.expected)
            expected += scripts.File("run.script") + ":" + line + "\n";
        EXPECT_EQ(Run(c.script), 2) << c.script;
        EXPECT_EQ(err, expected) << c.script;
        EXPECT_EQ(out, "") << c.script;
        EXPECT_FALSE(std::filesystem::exists(SettingsFile())) << c.script;
        EXPECT_FALSE(std::filesystem::exists(config.Path() + "/gimbalo")) << c.script;
    }
}

TEST_F(ReplayRun, CommandLineMistakesAndUnreadableScriptsGiveStatusTwoInOneLine) {
    const auto problem = [](const std::string& what) {
        return "gimbalo-replay: " + what + " (try gimbalo-replay --help)\n";
    };
    struct Case {
        std::vector<std::string> arguments;
        std::string expected;
    } cases[] = {
        {{}, problem("no script given")},
        {{"--trace"}, problem("no script given")},
        {{"a.script", "b.script"}, problem("one script only, not also 'b.script'")},
        {{"a.script", "--fast"}, problem("unknown option '--fast'")},
        {{"a.script", "--settings"}, problem("--settings needs a folder")},
        {{"a.script", "--settings", ""}, problem("--settings needs a folder")},
        {{scripts.File("missing.script")},
         scripts.File("missing.script") + ": cannot read: No such file or directory\n"},
        {{scripts.Path()}, scripts.Path() + ": cannot read: Is a directory\n"},
        {{"/dev/zero"}, "/dev/zero: cannot read: longer than 64 MiB\n"},
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

TEST_F(ReplayRun, HelpAndVersionAnswerWithoutADisplay) {
    const std::string version = "gimbalo-replay " GIMBALO_VERSION_TEXT "\n";
    struct Case {
        std::vector<std::string> arguments;
        std::string outStart;
    } cases[] = {
        {{"--help"}, "usage: gimbalo-replay SCRIPT [--trace] [--poll] [--settings DIR]\n"},
        {{"-h"}, "usage: gimbalo-replay SCRIPT [--trace] [--poll] [--settings DIR]\n"},
        {{"--version"}, version + "Copyright 2026 the Gimbalo developers\n"},
        // Answered before the script is looked at.
        {{"missing.script", "--version"}, version},
    };
    for (const Case& c : cases) {
        testing::ReplayChild child(GIMBALO_REPLAY_EXECUTABLE, c.arguments, config.Path(),
                                   runtime.Path(), {"DISPLAY="});
        ASSERT_TRUE(child.Started());
        EXPECT_EQ(child.Wait(), 0) << c.arguments.front();
        EXPECT_EQ(child.out.substr(0, c.outStart.size()), c.outStart);
        EXPECT_EQ(child.err, "");
    }
}

// Holding joystick buttons 1, 2 and 3 one after the other, with no tick
// without buttons between, presses left, right and middle and releases none.
const char kAllThreeHeld[] =
    "joystick \"Pad\" buttons=3\n"
    "at 1: buttons=1\n"
    "at 2: buttons=2\n"
    "at 3: buttons=4\n";

// The X server keeps an XTest button down after its client has gone; no
// death of the program may leave one held, and its guardian goes with it.
TEST_F(ReplayRun, NoDeathLeavesAButtonHeldNorTheGuardianRunning) {
    SKIP_WITHOUT_DISPLAY();
    // No core files: the crash signals would write them.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    struct Case {
        int signalNumber;
        std::string script;
        long held;
        int guardianKills = 0;  // before the program's death; each brings another
    };
    std::vector<Case> cases = {
        {SIGKILL, "joystick \"Pad\" buttons=2\nat 1: buttons=1\n", Button1Mask},
        {SIGKILL, "joystick \"Pad\" buttons=2\nat 1: buttons=2\n", Button3Mask},
        {SIGKILL, "joystick \"Pad\" buttons=3\nat 1: buttons=4\n", Button2Mask},
        {SIGKILL, "joystick \"Pad\" buttons=2\nat 1: buttons=1\n", Button1Mask, 1},
        {SIGKILL, kAllThreeHeld, Button1Mask | Button2Mask | Button3Mask, 3},
    };
    for (const int signalNumber :
         {SIGKILL,  SIGUSR1,      SIGUSR2,  SIGILL,  SIGTRAP, SIGALRM,   SIGVTALRM,
          SIGPROF,  SIGXCPU,      SIGXFSZ,  SIGSYS,  SIGPOLL, SIGSTKFLT, SIGPWR,
          SIGRTMIN, SIGRTMIN + 5, SIGRTMAX, SIGSEGV, SIGBUS,  SIGFPE,    SIGABRT})
        cases.push_back({signalNumber, kAllThreeHeld, Button1Mask | Button2Mask | Button3Mask});
    for (const Case& c : cases) {
        const std::string name = strsignal(c.signalNumber);
        // The sanitizers' own reports would end the replay another way.
        std::unique_ptr<testing::ReplayChild> child =
            Start(c.script, {"--trace"},
                  {"ASAN_OPTIONS=handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_abort=0"});
        ASSERT_TRUE(child->WaitForOutput(LineStarting("tick=5 "))) << name << child->err;
        ASSERT_EQ(testing::HeldMouseButtons(), c.held) << name;
        std::vector<pid_t> guardians = testing::ChildrenNamed(child->Pid(), "gimbalo-guardian");
        ASSERT_EQ(guardians.size(), 1u) << name;
        for (int kill = 0; kill < c.guardianKills; ++kill) {
            const pid_t gone = guardians[0];
            ::kill(gone, SIGKILL);
            ASSERT_TRUE(WaitFor([&] {
                guardians = testing::ChildrenNamed(child->Pid(), "gimbalo-guardian");
                return guardians.size() == 1 && guardians[0] != gone;
            })) << name
                << ": no guardian after kill " << kill + 1;
        }

        child->Signal(c.signalNumber);
        const int status = child->WaitStatus();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signalNumber)
            << name << ": status " << status << child->err;
        EXPECT_TRUE(WaitFor([] { return testing::HeldMouseButtons() == 0; }))
            << name << " left buttons " << testing::HeldMouseButtons() << " held";
        EXPECT_TRUE(WaitFor([&] { return !testing::ProcessRunning(guardians[0]); }))
            << name << ": the guardian outlived the program";
    }
}

// Without its guardian (not found beside it nor installed), the program
// runs, and a signal still lets go of the buttons.
TEST_F(ReplayRun, WithoutTheGuardianRunsAndASignalStillLetsGo) {
    SKIP_WITHOUT_DISPLAY();
    if (std::filesystem::exists(GIMBALO_INSTALLED_GUARDIAN))
        GTEST_SKIP() << "a guardian is installed at " << GIMBALO_INSTALLED_GUARDIAN;
    testing::TempFolder alone;
    const std::string copy = alone.Path() + "/gimbalo-replay";
    std::filesystem::copy_file(GIMBALO_REPLAY_EXECUTABLE, copy);
    const auto run = [&](const std::string& script) {
        return std::make_unique<testing::ReplayChild>(
            copy, std::vector<std::string>{WriteScript(script), "--trace"}, config.Path(),
            runtime.Path());
    };

    std::unique_ptr<testing::ReplayChild> quits =
        run("joystick \"Pad\" buttons=2\nat 1: buttons=1\nat 3: buttons=0\nat 5: quit\n");
    EXPECT_EQ(quits->Wait(), 0) << quits->err;
    const Trace trace = ReadTrace(quits->out);
    ASSERT_EQ(trace.ticks.size(), 5u) << quits->out;
    EXPECT_EQ(trace.ticks[1].at("events"), "LEFTDOWN");
    EXPECT_EQ(trace.ticks[3].at("events"), "LEFTUP");

    std::unique_ptr<testing::ReplayChild> killed = run(kAllThreeHeld);
    ASSERT_TRUE(killed->WaitForOutput(LineStarting("tick=5 "))) << killed->err;
    EXPECT_TRUE(testing::ChildrenNamed(killed->Pid(), "gimbalo-guardian").empty());
    EXPECT_EQ(testing::HeldMouseButtons(), Button1Mask | Button2Mask | Button3Mask);
    killed->Signal(SIGUSR1);
    const int status = killed->WaitStatus();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGUSR1) << status << killed->err;
    EXPECT_EQ(testing::HeldMouseButtons(), 0);
}

// gimbalo-replay SCRIPT --trace | head -n 3: once the reader has gone, the
// program closes as at the script's quit, buttons let go and settings saved.
TEST_F(ReplayRun, TraceReaderGoingAwayClosesTheProgramWithStatusThree) {
    SKIP_WITHOUT_DISPLAY();
    std::unique_ptr<testing::ReplayChild> child =
        Start("joystick \"Pad\" buttons=2\nat 1: buttons=1\n");
    ASSERT_TRUE(child->WaitForOutput(LineStarting("tick=3 "))) << child->err;
    EXPECT_EQ(testing::HeldMouseButtons(), Button1Mask);
    child->CloseOutput();
    EXPECT_EQ(Finish(*child), 3) << err;
    EXPECT_NE(err.find("gimbalo-replay: the trace cannot be written (Broken pipe); closing\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(testing::HeldMouseButtons(), 0);
    EXPECT_EQ(SettingsLines().size(), 8u);
}

// A termination signal the user's shell ignores (nohup) stays ignored.
TEST_F(ReplayRun, IgnoredHangUpStaysIgnored) {
    SKIP_WITHOUT_DISPLAY();
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGHUP, &ignore, &previous);  // inherited by the child
    // Polling, so the trace goes on as the clock that shows it still runs.
    std::unique_ptr<testing::ReplayChild> child =
        Start("joystick \"Pad\" buttons=2\n", {"--trace", "--poll"});
    sigaction(SIGHUP, &previous, nullptr);
    ASSERT_TRUE(child->WaitForOutput(LineStarting("tick=3 "))) << child->err;
    child->Signal(SIGHUP);
    const std::size_t seen = child->out.size();
    EXPECT_TRUE(child->WaitForOutput([&](const std::string& text) {
        return text.size() > seen && text.find("tick=50 ", seen) != std::string::npos;
    })) << "the hang-up ended it";
    child->Signal(SIGTERM);
    EXPECT_EQ(Finish(*child), 0) << err;
}

// The guardian is started by the program; run by hand with wrong arguments
// it says what is wrong and does nothing.
TEST_F(ReplayRun, GuardianRefusesWrongArguments) {
    const std::string usage =
        "usage: gimbalo-guardian DISPLAY WINDOW (gimbalo starts it, with its standard input as "
        "the channel)\n";
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string expected;
    } cases[] = {
        {{}, 2, "gimbalo-guardian: expected 2 arguments, got 0\n" + usage},
        {{":0", "4", "5"}, 2, "gimbalo-guardian: expected 2 arguments, got 3\n" + usage},
        {{":0", "window"},
         2,
         "gimbalo-guardian: WINDOW must be an X window number, not \"window\"\n" + usage},
        {{":0", "-5"},
         2,
         "gimbalo-guardian: WINDOW must be an X window number, not \"-5\"\n" + usage},
        {{":0", "0x40000000"},
         2,
         "gimbalo-guardian: WINDOW must be an X window number, not \"0x40000000\"\n" + usage},
        {{"not-a-display", "0x400001"},
         1,
         "gimbalo-guardian: cannot open the X display \"not-a-display\"\n"},
    };
    for (const Case& c : cases) {
        testing::ReplayChild child(GIMBALO_GUARDIAN_EXECUTABLE, c.arguments, config.Path(),
                                   runtime.Path());
        ASSERT_TRUE(child.Started());
        EXPECT_EQ(child.Wait(), c.status) << c.expected;
        EXPECT_EQ(child.err, c.expected);
    }
}

}  // namespace
}  // namespace gimbalo
