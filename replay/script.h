// The script of a replay run: which joysticks are attached, and from which
// polling tick on device 0 reports which readings, is unplugged, a popup-menu
// command is chosen, a file dialog is answered, or the program is closed.
//
//   # a comment; blank lines are ignored
//   joystick "Pad" buttons=4        # devices are numbered in the order declared
//   at 0: x=32768 y=32768           # readings as the program sees them, 0..65535
//   at 10: buttons=0x1              # bit k-1 is button k; decimal or 0x hex
//   at 20: x=0 buttons=0            # a field left out keeps its value
//   at 30: unplug                   # device 0 goes away
//   at 40: dialog "/tmp/Lang/x.lng" # the next file dialog answers this path
//   at 40: menu mnuLingua           # as if the user chose the menu's item
//   at 50: dialog cancel            # the next file dialog is cancelled
//   at 60: quit                     # the program closes as its exit command does
//
// Joystick lines come before the first "at" line; the ticks of the "at" lines
// never go back (equal ones are taken in script order). Nothing follows quit
// or "menu mnuExit", which closes the program too. A menu command runs after
// the polling tick it is due at. File dialogs never wait for a user: each
// takes the oldest answer given so far and not yet used, and with none left
// it is cancelled at once. The answer is what the dialog hands back, as it
// stands (no default extension is added); a relative path is taken from the
// folder the replay was started in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gimbalo {

// Axis readings as the program sees them; the centre is where a stick rests.
constexpr uint32_t kScriptAxisMax = 65535;
constexpr uint32_t kScriptAxisCentre = 32768;
constexpr int kScriptMaxButtons = 32;
// Device numbers the program can read go from 0 to 15.
constexpr std::size_t kScriptMaxJoysticks = 16;
// About 248 days of ticks at 5 ms.
constexpr uint64_t kScriptMaxTick = 4294967295u;

struct ScriptJoystick {
    std::string name;
    int buttons = 0;
    int line = 0;
};

enum class StepKind {
    Set,     // new readings of device 0
    Unplug,  // device 0 goes away
    Quit,    // the program closes as its exit command does
    Menu,    // a popup-menu command runs as if the user had chosen it
    Dialog,  // an answer for the next file dialog
};

// The popup menu's items that are commands, top to bottom; the separators
// (R0 to R4) are not.
constexpr std::string_view kScriptMenuItems[] = {
    "mnuDef",     "mnuLingua",   "mnuAggLingua", "mnuDonazione", "mnuAggiornamenti",
    "mnuLicenza", "mnuVersioni", "mnuAbout",     "mnuExit",
};
// The menu command that closes the program.
constexpr std::string_view kScriptExitItem = "mnuExit";

struct ScriptStep {
    uint64_t tick = 0;
    int line = 0;
    StepKind kind = StepKind::Set;
    // Set: the fields the line gives; the others keep their values.
    std::optional<uint32_t> x;
    std::optional<uint32_t> y;
    std::optional<uint32_t> buttons;
    // Menu: the item's name, one of kScriptMenuItems.
    std::string menuItem;
    // Dialog: the path to answer with; nothing to cancel.
    std::optional<std::string> dialogAnswer;
};

// Whether the step closes the program (quit, or the menu's exit command).
bool EndsProgram(const ScriptStep& step);

struct Script {
    std::vector<ScriptJoystick> joysticks;
    std::vector<ScriptStep> steps;  // in script order, ticks never going back
};

struct ScriptError {
    int line = 0;  // counted from 1
    std::string message;
};

// Reads a script. Every bad line gives one error, the first found on it, in
// line order; the script may be run only when there are none.
std::vector<ScriptError> ParseScript(std::string_view text, Script& script);

}  // namespace gimbalo
