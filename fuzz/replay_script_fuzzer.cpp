// A replay script as any text. A script with errors names each bad line once,
// in order; a script without errors holds only what can run: at most 16
// joysticks, ticks that never go back, nothing after the program closes,
// known menu commands, readings in range, and buttons joystick 0 has. Played
// to its end, it takes every step and leaves the last readings given.
#include <algorithm>
#include <bit>
#include <string>

#include "fuzz/fuzz_support.h"
#include "replay/player.h"
#include "replay/script.h"

using namespace gimbalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Script script;
    const std::vector<ScriptError> errors = ParseScript(text, script);
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    int previous = 0;
    for (const ScriptError& error : errors) {
        FUZZ_REQUIRE(error.line > previous && error.line <= lines, "one error per line, in order");
        FUZZ_REQUIRE(!error.message.empty(), "an error says what is wrong");
        previous = error.line;
    }
    if (!errors.empty()) return 0;

    FUZZ_REQUIRE(script.joysticks.size() <= kScriptMaxJoysticks, "at most 16 joysticks");
    for (const ScriptJoystick& joystick : script.joysticks)
        FUZZ_REQUIRE(joystick.buttons >= 0 && joystick.buttons <= kScriptMaxButtons,
                     "a joystick has 0 to 32 buttons");
    uint64_t lastTick = 0;
    bool unplugged = false;
    StickReading expected;
    for (std::size_t i = 0; i < script.steps.size(); ++i) {
        const ScriptStep& step = script.steps[i];
        FUZZ_REQUIRE(step.tick >= lastTick && step.tick <= kScriptMaxTick, "ticks never go back");
        lastTick = step.tick;
        if (EndsProgram(step)) FUZZ_REQUIRE(i + 1 == script.steps.size(), "nothing after the end");
        switch (step.kind) {
            case StepKind::Set:
                FUZZ_REQUIRE(!step.x || *step.x <= kScriptAxisMax, "x in range");
                FUZZ_REQUIRE(!step.y || *step.y <= kScriptAxisMax, "y in range");
                if (step.buttons && !script.joysticks.empty())
                    FUZZ_REQUIRE(std::bit_width(*step.buttons) <=
                                     static_cast<unsigned>(script.joysticks.front().buttons),
                                 "only buttons joystick 0 has");
                if (!script.joysticks.empty()) FUZZ_REQUIRE(!unplugged, "no reading after unplug");
                if (step.x) expected.x = *step.x;
                if (step.y) expected.y = *step.y;
                if (step.buttons) expected.buttons = *step.buttons;
                break;
            case StepKind::Unplug:
                if (!script.joysticks.empty()) FUZZ_REQUIRE(!unplugged, "one unplug");
                unplugged = true;
                break;
            case StepKind::Menu:
                FUZZ_REQUIRE(std::find(std::begin(kScriptMenuItems), std::end(kScriptMenuItems),
                                       step.menuItem) != std::end(kScriptMenuItems),
                             "a known menu command");
                break;
            case StepKind::Dialog:
                FUZZ_REQUIRE(!step.dialogAnswer || !step.dialogAnswer->empty(),
                             "a dialog answer is a path or a cancel");
                break;
            case StepKind::Quit:
                break;
        }
    }

    ScriptPlayer player(script);
    std::size_t commands = 0;
    std::size_t sets = 0;
    for (const ScriptStep& step : script.steps) sets += step.kind == StepKind::Set ? 1 : 0;
    commands = player.Advance(lastTick).commands.size();
    FUZZ_REQUIRE(player.Finished(), "playing to the last tick takes every step");
    FUZZ_REQUIRE(commands + sets == script.steps.size(), "every command falls due once");
    FUZZ_REQUIRE(player.Reading() == expected, "the last readings given stand");
    return 0;
}
