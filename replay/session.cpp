#include "replay/session.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/file_dialog_record.h"
#include "platform/forms.h"
#include "replay/replay_desktop.h"
#include "replay/trace.h"

namespace gimbalo {

namespace {

// A scripted path as a dialog hands it back: in full, from the folder the
// replay was started in when it is relative.
std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(
        std::filesystem::path(std::u8string(path.begin(), path.end())), error);
    if (error) return path;
    const std::u8string text = full.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::string WithLineBreaksEscaped(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r')
            line += "\\r";
        else if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    return line;
}

ReplaySession::ReplaySession(const Script& script, std::FILE* trace, Platform& platform,
                             ReplayDesktop& desktop, std::string separators,
                             std::function<void()> close)
    : script_(script),
      player_(script),
      trace_(trace),
      platform_(platform),
      desktop_(desktop),
      separators_(std::move(separators)),
      close_(std::move(close)) {}

void ReplaySession::PollingTick(const Timer& timer, const std::function<void()>& tick) {
    if (quitting_) return;  // the close is on its way; no tick runs after quit
    if (resting_) EndRest();

    DueSteps due = player_.Advance(tick_);
    if (due.readingChanged) desktop_.SetReading(player_.Reading());
    for (const ScriptStep* command : due.commands) {
        switch (command->kind) {
            case StepKind::Unplug:
                desktop_.Unplug();
                break;
            case StepKind::Quit:
                Quit();
                return;
            case StepKind::Dialog:
                dialogAnswers_.push_back(command);
                break;
            case StepKind::Menu:
                QueueMenuCommand(*command);
                // The exit command closes the program: no tick runs after it.
                if (EndsProgram(*command)) {
                    quitting_ = true;
                    return;
                }
                break;
            case StepKind::Set:
                break;
        }
    }

    events_.clear();
    read_.reset();
    readTaken_ = false;
    inPollingTick_ = true;
    tick();
    inPollingTick_ = false;
    if (trace_ != nullptr) {
        POINT pointer;
        platform_.GetCursorPos(pointer);
        WriteTraceLine(TraceTickLine(tick_, read_, pointer, events_));
    }
    events_.clear();
    ++tick_;
    if (!timer.Enabled() && !platform_.ProgramEnded()) BeginRest();
}

void ReplaySession::Quit() {
    quitting_ = true;
    // The close unloads the main window and with it this very timer, so it
    // runs once the tick has returned, as the exit command does from the
    // menu.
    desktop_.Post([this] { close_(); });
}

void ReplaySession::BeginRest() {
    resting_ = true;
    reported_ = false;
    restTick_ = tick_ - 1;
    restStart_ = platform_.GetTickCount();
    if (trace_ != nullptr) WriteTraceLine(TraceRestLine(restTick_));
    const std::optional<uint64_t> next = player_.NextTick();
    if (!next) return;  // nothing more to come: asleep until the program closes
    // Reported at the time of the tick before it; at once when that is now.
    const uint64_t due = std::max(*next, tick_);
    desktop_.ReportInputIn(static_cast<int>(std::min<uint64_t>((due - tick_) * 5, INT_MAX)),
                           [this] { InputReported(); });
}

void ReplaySession::InputReported() {
    if (!resting_) return;
    const std::optional<uint64_t> next = player_.NextTick();
    if (next) tick_ = std::max(*next, tick_);
    reported_ = true;
}

uint64_t ReplaySession::TicksByTime() {
    // A tick 5 ms after the last one run, and so on.
    return restTick_ + 1 + (platform_.GetTickCount() - restStart_) / 5;
}

void ReplaySession::EndRest() {
    resting_ = false;
    desktop_.CancelInputReport();
    // Woken by the scripted joystick: the tick it reported. Woken otherwise
    // (new settings, a real joystick arriving): the tick the time says,
    // which comes 5 ms after the wake.
    if (!reported_) {
        uint64_t byTime = TicksByTime();
        if (const std::optional<uint64_t> next = player_.NextTick())
            byTime = std::min(byTime, *next);
        tick_ = std::max(tick_, byTime);
    }
    if (trace_ != nullptr) WriteTraceLine(TraceWakeLine(tick_));
}

void ReplaySession::NoteRead(int, uint32_t result, const JOYINFOEX& info) {
    // The tick reads the joystick in use, and device 0 when that one does not
    // answer: the first reading that answers is the tick's.
    if (!inPollingTick_ || readTaken_ || result != JOYERR_NOERROR) return;
    readTaken_ = true;
    read_ = info;
}

void ReplaySession::NoteEvent(uint32_t flags) {
    events_.push_back(flags);
}

void ReplaySession::QueueMenuCommand(const ScriptStep& step) {
    // A command may open or close forms or end the program, which must not
    // happen inside the tick's timer dispatch.
    const uint64_t dueTick = tick_;
    desktop_.Post([this, &step, dueTick] {
        if (platform_.ProgramEnded()) return;
        if (trace_ != nullptr) WriteTraceLine(TraceMenuLine(dueTick, step.menuItem));
        if (runMenuCommand_ && runMenuCommand_(step.menuItem)) return;
        std::fprintf(stderr, "gimbalo-replay: menu %s (line %d) could not be chosen\n",
                     step.menuItem.c_str(), step.line);
        // Ticks stopped for the exit command; the program must still end.
        if (EndsProgram(step)) platform_.EndProgram();
    });
}

bool ReplaySession::AnswerFileDialog(OPENFILENAME& record, const char* kind) {
    if (platform_.ProgramEnded()) return false;
    const std::string title =
        WithLineBreaksEscaped(record.lpstrTitle.substr(0, record.lpstrTitle.find('\0')));
    if (dialogAnswers_.empty()) {
        std::fprintf(stderr,
                     "gimbalo-replay: %s dialog \"%s\": cancelled, the script has no answer "
                     "for it\n",
                     kind, title.c_str());
        return false;
    }
    const ScriptStep& answer = *dialogAnswers_.front();
    dialogAnswers_.pop_front();
    if (!answer.dialogAnswer) return false;  // the script cancels it
    if (!RecordChosenFiles(record, {FullPath(*answer.dialogAnswer)}, separators_)) {
        std::fprintf(stderr,
                     "gimbalo-replay: %s dialog \"%s\": the answer on line %d does not fit in "
                     "%u characters; the dialog fails\n",
                     kind, title.c_str(), answer.line, record.nMaxFile);
        return false;
    }
    // The filter shown first is the one still selected.
    const std::size_t filters = FilterPairs(record.lpstrFilter).size();
    if (filters > 0) record.nFilterIndex = FirstFilterIndex(record.nFilterIndex, filters);
    return true;
}

int ReplaySession::MessageBox(const std::string& text, const std::string& title) {
    std::fprintf(stderr, "gimbalo-replay: message \"%s\": %s\n",
                 WithLineBreaksEscaped(title).c_str(), WithLineBreaksEscaped(text).c_str());
    return 1;  // OK
}

bool ReplaySession::LeaveAutostartAlone(const std::string& name, bool write) {
    std::fprintf(stderr, "gimbalo-replay: autostart entry \"%s\" left alone (not %s)\n",
                 WithLineBreaksEscaped(name).c_str(), write ? "written" : "deleted");
    return true;
}

void ReplaySession::SetMenuCommandRunner(std::function<bool(const std::string&)> run) {
    runMenuCommand_ = std::move(run);
}

bool ReplaySession::TraceEnd() {
    // Closed during a rest: the ticks plain polling would have run by now.
    if (resting_) tick_ = std::max(tick_, TicksByTime());
    if (trace_ == nullptr) return true;
    POINT pointer;
    platform_.GetCursorPos(pointer);
    WriteTraceLine(TraceEndLine(tick_, pointer, events_));
    if (!traceLost_ && std::fflush(trace_) != 0) traceLost_ = true;
    return !traceLost_;
}

void ReplaySession::WriteTraceLine(const std::string& line) {
    if (traceLost_) return;
    std::fputs(line.c_str(), trace_);
    std::fputc('\n', trace_);
    if (!std::ferror(trace_)) return;
    // Its reader went away (a pipe to head) or the disk is full: the run
    // has lost its point, so the program closes as at the script's quit,
    // letting go of its buttons.
    traceLost_ = true;
    std::fprintf(stderr, "gimbalo-replay: the trace cannot be written (%s); closing\n",
                 std::strerror(errno));
    if (!quitting_) Quit();
}

}  // namespace gimbalo
