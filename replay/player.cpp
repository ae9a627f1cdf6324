#include "replay/player.h"

namespace gimbalo {

DueSteps ScriptPlayer::Advance(uint64_t tick) {
    DueSteps due;
    const StickReading before = reading_;
    while (next_ < script_.steps.size() && script_.steps[next_].tick <= tick) {
        const ScriptStep& step = script_.steps[next_++];
        if (step.kind != StepKind::Set) {
            due.commands.push_back(&step);
            continue;
        }
        if (step.x) reading_.x = *step.x;
        if (step.y) reading_.y = *step.y;
        if (step.buttons) reading_.buttons = *step.buttons;
    }
    due.readingChanged = reading_ != before;
    return due;
}

std::optional<uint64_t> ScriptPlayer::NextTick() const {
    if (Finished()) return std::nullopt;
    return script_.steps[next_].tick;
}

}  // namespace gimbalo
