// Plays a script tick by tick: which readings device 0 has at a polling tick
// and which commands (unplug, quit) fall due there. The platform that runs
// the program applies them before the tick's own work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "replay/script.h"

namespace gimbalo {

struct StickReading {
    uint32_t x = kScriptAxisCentre;
    uint32_t y = kScriptAxisCentre;
    uint32_t buttons = 0;
    bool operator==(const StickReading&) const = default;
};

// What falls due at one tick.
struct DueSteps {
    bool readingChanged = false;  // Reading() differs from the tick before
    // The commands in script order; readings are folded into Reading().
    std::vector<const ScriptStep*> commands;
};

class ScriptPlayer {
public:
    // The script must outlive the player.
    explicit ScriptPlayer(const Script& script) : script_(script) {}

    // Takes the steps due by polling tick `tick` (counted from 0): those at
    // this tick or before that were not taken yet. Ask for ticks in rising
    // order; a tick skipped still gets its steps at the next one asked for.
    DueSteps Advance(uint64_t tick);

    // What device 0 reports after the steps taken so far.
    const StickReading& Reading() const { return reading_; }
    // Whether every step has been taken.
    bool Finished() const { return next_ == script_.steps.size(); }
    // The tick of the next step not taken yet; nothing when all were.
    std::optional<uint64_t> NextTick() const;

private:
    const Script& script_;
    std::size_t next_ = 0;
    StickReading reading_;
};

}  // namespace gimbalo
