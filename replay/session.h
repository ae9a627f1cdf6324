// One replay run, whatever the desktop: the script played a polling tick at
// a time, the trace written as the ticks go, the file-dialog answers the
// script has given, and the messages that no user is there to read. The
// replay platform holds one and lends it what only the desktop can do
// (ReplayDesktop).
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "replay/player.h"
#include "replay/script.h"

namespace gimbalo {

class ReplayDesktop;
class Timer;

class ReplaySession {
public:
    // The script must outlive the session. `trace`, when not null, gets one
    // line per polling tick (replay/trace.h). Paths handed to file dialogs
    // have their folders end at any of `separators`. `close` closes the
    // program as the desktop's close request does.
    ReplaySession(const Script& script, std::FILE* trace, Platform& platform,
                  ReplayDesktop& desktop, std::string separators, std::function<void()> close);

    // The program's polling timer, as the program tells it; no other timer's
    // ticks play the script.
    void SetPollingTimer(const Timer& timer) { pollingTimer_ = &timer; }
    bool IsPollingTimer(const Timer& timer) const { return &timer == pollingTimer_; }
    // Runs one polling tick of `timer`: the script's steps due there first,
    // then `tick`, then the tick's trace line. A quit or exit command due
    // there closes the program instead, and no tick runs after it. When the
    // tick left the timer disabled, the program rests: ticks are still
    // counted as plain polling would run them, and device 0 reports the
    // script's next step one period before it is due.
    void PollingTick(const Timer& timer, const std::function<void()>& tick);
    // Device 0 reported input during a rest (ReportInputIn came due): the
    // tick that wakes is the one of the script's next step.
    void InputReported();

    // What the platform saw during a tick, for its trace line: the tick's
    // own read of the joystick it reads (a later one is the rest's check).
    void NoteRead(int device, uint32_t result, const JOYINFOEX& info);
    void NoteEvent(uint32_t flags);

    // A file dialog takes the script's next answer; false when it is
    // cancelled (by the script, for want of an answer, or because the answer
    // does not fit), with a note on the standard error.
    bool AnswerFileDialog(OPENFILENAME& record, const char* kind);
    // The message goes to the standard error; the answer is OK.
    int MessageBox(const std::string& text, const std::string& title);
    // A replay leaves the desktop's autostart entry alone, with a note on the
    // standard error, and says it succeeded as the program expects.
    bool LeaveAutostartAlone(const std::string& name, bool write);

    // How the script's menu commands reach the program: `run` chooses the
    // named item and says whether it ran.
    void SetMenuCommandRunner(std::function<bool(const std::string&)> run);
    // Writes the trace's closing line: ticks run, pointer, events since.
    // Whether the whole trace was written; when a line cannot be, the
    // program closes as at the script's quit.
    bool TraceEnd();

private:
    void QueueMenuCommand(const ScriptStep& step);
    void WriteTraceLine(const std::string& line);
    void Quit();
    // The program stopped its timer after the tick just run.
    void BeginRest();
    // The first tick after a rest: its number, by the scripted joystick's
    // report or by the time the rest lasted.
    void EndRest();
    // The ticks plain polling would have run by now during a rest.
    uint64_t TicksByTime();

    const Script& script_;
    ScriptPlayer player_;
    std::FILE* trace_;
    Platform& platform_;
    ReplayDesktop& desktop_;
    std::string separators_;
    std::function<void()> close_;
    const Timer* pollingTimer_ = nullptr;
    std::function<bool(const std::string&)> runMenuCommand_;
    // Dialog steps whose answers no file dialog has taken yet, oldest first.
    std::deque<const ScriptStep*> dialogAnswers_;
    uint64_t tick_ = 0;  // polling ticks run so far, those skipped at rest included
    bool quitting_ = false;
    bool traceLost_ = false;  // a trace line could not be written
    // What the current polling tick read and injected, for its trace line.
    bool inPollingTick_ = false;
    bool readTaken_ = false;
    std::optional<JOYINFOEX> read_;
    std::vector<uint32_t> events_;
    // Resting.
    bool resting_ = false;
    bool reported_ = false;   // device 0 reported the next step during this rest
    uint64_t restTick_ = 0;   // the last tick run before the rest
    uint32_t restStart_ = 0;  // the platform's clock when the rest began
};

// `text` on one line: CR and LF written as \r and \n.
std::string WithLineBreaksEscaped(const std::string& text);

}  // namespace gimbalo
