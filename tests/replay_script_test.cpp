// The replay script language: what a script says, and how a wrong one is
// refused with the line and what is wrong with it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "platform/sim/sim_platform.h"
#include "replay/script.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

// A script in one line of text per joystick and step, for comparing.
std::string Describe(const Script& script) {
    std::string text;
    for (const ScriptJoystick& joystick : script.joysticks)
        text += "joystick[" + joystick.name + "]" + std::to_string(joystick.buttons) + "@" +
                std::to_string(joystick.line) + " ";
    for (const ScriptStep& step : script.steps) {
        text += std::to_string(step.tick) + ":";
        switch (step.kind) {
            case StepKind::Set:
                text += "set";
                if (step.x) text += " x" + std::to_string(*step.x);
                if (step.y) text += " y" + std::to_string(*step.y);
                if (step.buttons) text += " b" + std::to_string(*step.buttons);
                break;
            case StepKind::Unplug:
                text += "unplug";
                break;
            case StepKind::Quit:
                text += "quit";
                break;
            case StepKind::Menu:
                text += "menu " + step.menuItem;
                break;
            case StepKind::Dialog:
                text += step.dialogAnswer ? "dialog[" + *step.dialogAnswer + "]" : "dialog cancel";
                break;
        }
        text += "@" + std::to_string(step.line) + " ";
    }
    return text;
}

std::string Errors(const std::vector<ScriptError>& errors) {
    std::string text;
    for (const ScriptError& error : errors)
        text += std::to_string(error.line) + ": " + error.message + "\n";
    return text;
}

TEST(ReplayScript, GoodScriptsSayWhatTheyMean) {
    struct Case {
        const char* script;
        const char* expected;
    } cases[] = {
        {"", ""},
        {"# only a comment\n\n   \n\t\n", ""},
        {"joystick \"Pad\" buttons=4", "joystick[Pad]4@1 "},
        {"joystick \"Pad #1\" buttons=4 # a comment", "joystick[Pad #1]4@1 "},
        {"joystick \"\" buttons=0\njoystick \"Two words\" buttons=32",
         "joystick[]0@1 joystick[Two words]32@2 "},
        {"joystick \"A\" buttons=0x0C", "joystick[A]12@1 "},
        {"at 0: quit", "0:quit@1 "},
        {"joystick \"P\" buttons=4\nat 5: x=0", "joystick[P]4@1 5:set x0@2 "},
        {"joystick \"P\" buttons=4\nat 5: buttons=0xF y=65535 x=12",
         "joystick[P]4@1 5:set x12 y65535 b15@2 "},
        {"joystick \"P\" buttons=4\nat 5 :y=7\t x=1", "joystick[P]4@1 5:set x1 y7@2 "},
        {"joystick \"P\" buttons=4\nat 0x10: buttons=0", "joystick[P]4@1 16:set b0@2 "},
        // Equal ticks are taken in script order.
        {"joystick \"P\" buttons=2\nat 3: x=0\nat 3: buttons=1\nat 3: unplug\nat 9: quit",
         "joystick[P]2@1 3:set x0@2 3:set b1@3 3:unplug@4 9:quit@5 "},
        // Windows line ends, a byte-order mark, no line end at the end.
        {"\xEF\xBB\xBFjoystick \"P\" buttons=1\r\nat 1: buttons=1\r\nat 2: quit",
         "joystick[P]1@1 1:set b1@2 2:quit@3 "},
        // Without a joystick the program stops at start-up: the steps are kept
        // as they are, whatever buttons they press.
        {"at 4: buttons=0xFFFFFFFF\nat 5: unplug\nat 6: x=1",
         "4:set b4294967295@1 5:unplug@2 6:set x1@3 "},
        {"at 4294967295: quit", "4294967295:quit@1 "},
    };
    for (const Case& c : cases) {
        Script script;
        std::vector<ScriptError> errors = ParseScript(c.script, script);
        EXPECT_EQ(Errors(errors), "") << c.script;
        EXPECT_EQ(Describe(script), c.expected) << c.script;
    }
}

TEST(ReplayScript, BadLinesAreRefusedWithTheLineAndTheReason) {
    const std::string pad = "joystick \"Pad\" buttons=4\n";  // line 1 of most cases
    struct Case {
        std::string script;
        const char* expected;
    } cases[] = {
        {"jostick \"Pad\" buttons=4",
         "1: unknown command \"jostick\" (expected \"joystick\" or \"at\")\n"},
        {"\"Pad\"", "1: unknown command \"\"Pad\"\" (expected \"joystick\" or \"at\")\n"},
        {"joystick Pad buttons=4", "1: expected a quoted name after \"joystick\"\n"},
        {"joystick \"Pad buttons=4", "1: missing closing quote\n"},
        {"joystick \"Pad\"", "1: expected buttons=N after the name\n"},
        {"joystick \"Pad\" buttons=33", "1: buttons=33 is out of range (0 to 32)\n"},
        {"joystick \"Pad\" buttons=-1", "1: bad number \"-1\" for buttons\n"},
        {"joystick \"Pad\" buttons=", "1: expected a number after \"buttons=\"\n"},
        {"joystick \"Pad\" buttons=4 axes=2", "1: unknown field \"axes\"\n"},
        {"joystick \"Pad\" buttons=4 buttons=2", "1: buttons given twice\n"},
        {"joystick \"Pad\" 4", "1: expected buttons=, found \"4\"\n"},
        {pad + "at", "2: expected a tick number after \"at\"\n"},
        {pad + "at five: x=0", "2: bad tick \"five\"\n"},
        {pad + "at -1: x=0", "2: bad tick \"-1\"\n"},
        {pad + "at 0x: x=0", "2: bad tick \"0x\"\n"},
        {pad + "at 4294967296: x=0", "2: tick 4294967296 is out of range (0 to 4294967295)\n"},
        {pad + "at 99999999999999999999999: quit",
         "2: tick 99999999999999999999999 is out of range (0 to 4294967295)\n"},
        {pad + "at 5 x=0", "2: expected \":\" after the tick\n"},
        {pad + "at 5:", "2: expected x=, y=, buttons=, unplug, quit, menu or dialog after \":\"\n"},
        {pad + "at 5: # nothing",
         "2: expected x=, y=, buttons=, unplug, quit, menu or dialog after \":\"\n"},
        {pad + "at 5: jump",
         "2: expected x=, y=, buttons=, unplug, quit, menu or dialog, found \"jump\"\n"},
        {pad + "at 5: x=0 quit", "2: expected x=, y= or buttons=, found \"quit\"\n"},
        {pad + "at 5: quit now", "2: unexpected \"now\" after quit\n"},
        {pad + "at 5: z=1", "2: unknown field \"z\"\n"},
        {pad + "at 5: x=65536", "2: x=65536 is out of range (0 to 65535)\n"},
        {pad + "at 5: y=0x10000", "2: y=0x10000 is out of range (0 to 65535)\n"},
        {pad + "at 5: x=1.5", "2: bad number \"1.5\" for x\n"},
        {pad + "at 5: x=12abc", "2: bad number \"12abc\" for x\n"},
        {pad + "at 5: x=0 x=1", "2: x given twice\n"},
        {pad + "at 5: buttons=0x100000000",
         "2: buttons=0x100000000 is out of range (0 to 4294967295)\n"},
        {pad + "at 5: buttons=0x10",
         "2: buttons=0x10 presses button 5 but joystick 0 has 4 buttons\n"},
        {pad + "at 7: x=0\nat 5: x=1", "3: tick 5 is before tick 7 on line 2\n"},
        {pad + "at 7: quit\nat 7: x=1", "3: nothing runs after quit on line 2\n"},
        {pad + "at 7: unplug\nat 8: x=1", "3: joystick 0 was unplugged on line 2\n"},
        {pad + "at 7: unplug\nat 8: unplug", "3: joystick 0 was unplugged on line 2\n"},
        {pad + "at 7: x=1\njoystick \"Late\" buttons=2",
         "3: joystick lines must come before the first \"at\" line (line 2)\n"},
        // The earlier line is named however the later one is written.
        {"at 0: quit\njoystick \"Pad\" buttons=99",
         "2: joystick lines must come before the first \"at\" line (line 1)\n"},
    };
    for (const Case& c : cases) {
        Script script;
        EXPECT_EQ(Errors(ParseScript(c.script, script)), c.expected) << c.script;
    }
}

TEST(ReplayScript, MenuCommandsAndDialogAnswers) {
    const std::string pad = "joystick \"P\" buttons=2\n";
    struct Case {
        std::string script;
        const char* expected;
    } cases[] = {
        {pad + "at 1: menu mnuDef", "joystick[P]2@1 1:menu mnuDef@2 "},
        {pad + "at 1: menu   mnuAggLingua   # the translation page",
         "joystick[P]2@1 1:menu mnuAggLingua@2 "},
        {pad + "at 1: dialog \"/tmp/Lang/Italiano.lng\"\nat 1: menu mnuLingua",
         "joystick[P]2@1 1:dialog[/tmp/Lang/Italiano.lng]@2 1:menu mnuLingua@3 "},
        // Blanks, a '#' and a colon belong to the quoted path.
        {pad + "at 2: dialog \"/a b/#c:d.lng\" # comment",
         "joystick[P]2@1 2:dialog[/a b/#c:d.lng]@2 "},
        {pad + "at 2: dialog cancel\nat 3: dialog \"rel/x.lng\"",
         "joystick[P]2@1 2:dialog cancel@2 3:dialog[rel/x.lng]@3 "},
        // The exit command closes the program, as quit does.
        {pad + "at 4: menu mnuAbout\nat 9: menu mnuExit",
         "joystick[P]2@1 4:menu mnuAbout@2 9:menu mnuExit@3 "},
        // The menu and the dialogs still work once the joystick is gone.
        {pad + "at 4: unplug\nat 5: dialog cancel\nat 5: menu mnuLingua\nat 6: quit",
         "joystick[P]2@1 4:unplug@2 5:dialog cancel@3 5:menu mnuLingua@4 6:quit@5 "},
    };
    for (const Case& c : cases) {
        Script script;
        EXPECT_EQ(Errors(ParseScript(c.script, script)), "") << c.script;
        EXPECT_EQ(Describe(script), c.expected) << c.script;
    }
    // Every command of the menu can be named.
    std::string every = pad;
    for (std::string_view item : kScriptMenuItems)
        every += "at 1: menu " + std::string(item) + "\n";
    Script script;
    EXPECT_EQ(Errors(ParseScript(every, script)), "");
    EXPECT_EQ(script.steps.size(), std::size(kScriptMenuItems));
}

TEST(ReplayScript, MenuCommandsAreThoseOfTheProgramsMenu) {
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    Program program(sim);
    std::vector<std::string> commands;
    for (const MenuItem* item : program.mainWindow.popupMenu.Items())
        if (!item->IsSeparator()) commands.push_back(item->Name());
    EXPECT_EQ(commands,
              std::vector<std::string>(std::begin(kScriptMenuItems), std::end(kScriptMenuItems)));
}

TEST(ReplayScript, BadMenuAndDialogLinesAreRefused) {
    const std::string pad = "joystick \"P\" buttons=2\n";
    const std::string commands =
        "mnuDef, mnuLingua, mnuAggLingua, mnuDonazione, mnuAggiornamenti, mnuLicenza, "
        "mnuVersioni, mnuAbout or mnuExit";
    struct Case {
        std::string script;
        std::string expected;
    } cases[] = {
        {pad + "at 1: menu", "2: expected a menu command after menu: " + commands + "\n"},
        {pad + "at 1: menu # none", "2: expected a menu command after menu: " + commands + "\n"},
        {pad + "at 1: menu mnuNothing",
         "2: unknown menu item \"mnuNothing\" (the commands are " + commands + ")\n"},
        // Separators are not commands; names are exact.
        {pad + "at 1: menu R0",
         "2: unknown menu item \"R0\" (the commands are " + commands + ")\n"},
        {pad + "at 1: menu R4",
         "2: unknown menu item \"R4\" (the commands are " + commands + ")\n"},
        {pad + "at 1: menu mnudef",
         "2: unknown menu item \"mnudef\" (the commands are " + commands + ")\n"},
        {pad + "at 1: menu PopUp",
         "2: unknown menu item \"PopUp\" (the commands are " + commands + ")\n"},
        {pad + "at 1: menu \"mnuDef\"",
         "2: unknown menu item \"\"mnuDef\"\" (the commands are " + commands + ")\n"},
        {pad + "at 1: menu mnuDef mnuAbout", "2: unexpected \"mnuAbout\" after menu\n"},
        {pad + "at 1: dialog", "2: expected a quoted path or cancel after dialog\n"},
        {pad + "at 1: dialog /tmp/x.lng",
         "2: expected a quoted path or cancel after dialog, found \"/tmp/x.lng\"\n"},
        {pad + "at 1: dialog Cancel",
         "2: expected a quoted path or cancel after dialog, found \"Cancel\"\n"},
        {pad + "at 1: dialog \"/tmp/x.lng", "2: missing closing quote\n"},
        {pad + "at 1: dialog \"\"", "2: empty path (a dialog is cancelled with: dialog cancel)\n"},
        {pad + "at 1: dialog cancel now", "2: unexpected \"now\" after dialog\n"},
        {pad + "at 1: dialog \"/a\" \"/b\"", "2: unexpected \"\"/b\"\" after dialog\n"},
        // Nothing runs once the program is closed.
        {pad + "at 5: menu mnuExit\nat 5: menu mnuDef",
         "3: nothing runs after menu mnuExit on line 2\n"},
        {pad + "at 5: menu mnuExit\nat 6: quit", "3: nothing runs after menu mnuExit on line 2\n"},
        {pad + "at 5: quit\nat 6: dialog cancel", "3: nothing runs after quit on line 2\n"},
        {pad + "at 5: quit\nat 6: menu mnuExit", "3: nothing runs after quit on line 2\n"},
        {pad + "at 5: menu mnuDef\nat 4: dialog cancel", "3: tick 4 is before tick 5 on line 2\n"},
    };
    for (const Case& c : cases) {
        Script script;
        EXPECT_EQ(Errors(ParseScript(c.script, script)), c.expected) << c.script;
    }
}

TEST(ReplayScript, EveryBadLineIsReportedAndGoodLinesAroundThemStillCount) {
    Script script;
    std::vector<ScriptError> errors = ParseScript(
        "joystick \"Pad\" buttons=2\n"
        "at 10: x=0\n"
        "at 5: x=1\n"         // goes back: refused, and does not move the last tick
        "at 12: buttons=4\n"  // button 3 on a two-button pad
        "at 11: y=0\n"        // still after tick 10
        "at 20: bogus\n",
        script);
    EXPECT_EQ(Errors(errors),
              "3: tick 5 is before tick 10 on line 2\n"
              "4: buttons=0x4 presses button 3 but joystick 0 has 2 buttons\n"
              "6: expected x=, y=, buttons=, unplug, quit, menu or dialog, found \"bogus\"\n");
}

TEST(ReplayScript, AtMostSixteenJoysticks) {
    std::string text;
    for (int i = 0; i < 17; ++i) text += "joystick \"J" + std::to_string(i) + "\" buttons=1\n";
    Script script;
    EXPECT_EQ(Errors(ParseScript(text, script)), "17: too many joysticks (at most 16)\n");
    EXPECT_EQ(script.joysticks.size(), 16u);
}

}  // namespace
}  // namespace gimbalo
