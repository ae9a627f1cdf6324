#include "platform/linux/replay_platform.h"

#include <SDL.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/forms.h"
#include "platform/linux/file_dialog_record.h"
#include "platform/linux/sdl_joysticks.h"
#include "replay/trace.h"

namespace gimbalo {

namespace {

// The polling tick is the main window's Timer1; other timers are not ticks.
bool IsPollingTimer(const Timer& timer) {
    return timer.Name() == "Timer1" && timer.Owner().Name() == "Gimbalo";
}

// A reading as the program sees it (0..65535) becomes an SDL axis value.
Sint16 AxisValue(uint32_t reading) {
    return static_cast<Sint16>(static_cast<int32_t>(reading) - 32768);
}

// Control characters would break the one line a message gets.
std::string OneLine(const std::string& text) {
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

// A scripted path as a dialog hands it back: in full, from the folder the
// replay was started in when it is relative.
std::string FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.string();
}

}  // namespace

ReplayPlatform::ReplayPlatform(const Script& script, std::FILE* trace, bool poll)
    : script_(script), player_(script), trace_(trace), poll_(poll) {}

std::unique_ptr<ReplayPlatform> ReplayPlatform::Create(int& argc, char** argv, const Script& script,
                                                       std::FILE* trace,
                                                       const std::string& settingsFolder, bool poll,
                                                       std::string& error) {
    std::unique_ptr<ReplayPlatform> platform(new ReplayPlatform(script, trace, poll));
    if (!platform->PrepareSettingsFolder(settingsFolder, error)) return nullptr;
    if (!platform->Initialise(argc, argv, error)) return nullptr;
    if (!platform->AttachJoysticks(error)) return nullptr;
    platform->nextStep_ = std::make_unique<QTimer>();
    platform->nextStep_->setSingleShot(true);
    platform->nextStep_->setTimerType(Qt::PreciseTimer);
    QObject::connect(platform->nextStep_.get(), &QTimer::timeout,
                     [raw = platform.get()] { raw->ReportNextStep(); });
    return platform;
}

ReplayPlatform::~ReplayPlatform() {
    nextStep_.reset();
    for (VirtualJoystick& joystick : joysticks_)
        if (joystick.handle != nullptr) SDL_JoystickClose(joystick.handle);
    if (reportRead_ >= 0) {
        StopWatchingJoystick();
        ForgetJoystickInput(reportRead_);
        close(reportRead_);
    }
    if (reportWrite_ >= 0) close(reportWrite_);
    if (settingsFolderIsTemporary_) {
        std::error_code ignored;
        std::filesystem::remove_all(settingsFolder_, ignored);
    }
}

bool ReplayPlatform::PrepareSettingsFolder(const std::string& chosen, std::string& error) {
    if (!chosen.empty()) {
        std::error_code failure;
        std::filesystem::create_directories(chosen, failure);
        if (failure || !std::filesystem::is_directory(chosen, failure)) {
            error = "gimbalo-replay: cannot use the settings folder " + chosen + ": " +
                    (failure ? failure.message() : std::string("not a folder"));
            return false;
        }
        settingsFolder_ = FullPath(chosen);
        return true;
    }
    std::string pattern = QDir::tempPath().toStdString() + "/gimbalo-replay-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        error = "gimbalo-replay: cannot make a temporary settings folder: " +
                std::string(std::strerror(errno));
        return false;
    }
    settingsFolder_ = pattern;
    settingsFolderIsTemporary_ = true;
    return true;
}

std::string ReplayPlatform::SettingsFolder() {
    return settingsFolder_;
}

bool ReplayPlatform::WriteAutostart(const std::string& name, const std::string&) {
    std::fprintf(stderr, "gimbalo-replay: autostart entry \"%s\" left alone (not written)\n",
                 OneLine(name).c_str());
    return true;
}

bool ReplayPlatform::DeleteAutostart(const std::string& name) {
    std::fprintf(stderr, "gimbalo-replay: autostart entry \"%s\" left alone (not deleted)\n",
                 OneLine(name).c_str());
    return true;
}

bool ReplayPlatform::AttachJoysticks(std::string& error) {
    for (const ScriptJoystick& declared : script_.joysticks) {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = 2;
        desc.nbuttons = static_cast<Uint16>(declared.buttons);
        desc.name = declared.name.c_str();
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        SDL_Joystick* handle = index < 0 ? nullptr : SDL_JoystickOpen(index);
        if (handle == nullptr) {
            error = "gimbalo-replay: cannot attach the virtual joystick \"" + declared.name +
                    "\": " + SDL_GetError();
            return false;
        }
        // Held open so the script can set its readings.
        joysticks_.push_back({SDL_JoystickInstanceID(handle), handle, declared.buttons});
    }
    int ends[2];
    if (!joysticks_.empty() && pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
        reportRead_ = ends[0];
        reportWrite_ = ends[1];
    }
    return true;
}

bool ReplayPlatform::WatchJoystick(int device, std::function<void()> wake) {
    return !poll_ && LinuxPlatform::WatchJoystick(device, std::move(wake));
}

LinuxPlatform::JoystickInput ReplayPlatform::InputToWatch(int device) {
    // Device 0 is the script's: it reports whenever a step of the script is
    // due, also once unplugged, so a quit or a menu command still comes; and
    // whenever its readings change, as an evdev node does.
    if (device != 0 || reportRead_ < 0) return {JoystickInput::Kind::Unwatchable, -1};
    return {JoystickInput::Kind::Node, reportRead_, true};
}

int ReplayPlatform::SdlIndex(int device) const {
    if (device < 0 || static_cast<std::size_t>(device) >= joysticks_.size()) return -1;
    const VirtualJoystick& joystick = joysticks_[static_cast<std::size_t>(device)];
    if (joystick.handle == nullptr) return -1;
    // Real joysticks, and devices that went away, shift SDL's indices.
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == joystick.instance) return index;
    return -1;
}

int ReplayPlatform::DesktopDevice(int device) const {
    if (device < 0 || static_cast<std::size_t>(device) >= joysticks_.size()) return -1;
    const VirtualJoystick& joystick = joysticks_[static_cast<std::size_t>(device)];
    // A scripted joystick goes only when the script unplugs it. Real
    // joysticks, and devices that went away, may hold other numbers.
    if (joystick.handle == nullptr || Joysticks() == nullptr) return -1;
    return Joysticks()->DeviceOf(joystick.instance);
}

uint32_t ReplayPlatform::joyGetPosEx(int device, JOYINFOEX& info) {
    const int desktop = DesktopDevice(device);
    const uint32_t result =
        desktop < 0 ? JOYERR_UNPLUGGED : LinuxPlatform::joyGetPosEx(desktop, info);
    if (inPollingTick_ && device == 0 && !readTaken_) {
        readTaken_ = true;
        if (result == JOYERR_NOERROR)
            read_ = info;
        else
            read_.reset();
    }
    return result;
}

uint32_t ReplayPlatform::joyGetDevCapsA(int device, JOYCAPS& caps) {
    const int desktop = DesktopDevice(device);
    return desktop < 0 ? JOYERR_UNPLUGGED : LinuxPlatform::joyGetDevCapsA(desktop, caps);
}

void ReplayPlatform::mouse_event(uint32_t flags, uint32_t dx, uint32_t dy, uint32_t data,
                                 uintptr_t extraInfo) {
    events_.push_back(flags);
    LinuxPlatform::mouse_event(flags, dx, dy, data, extraInfo);
}

void ReplayPlatform::RunMessageLoop(const std::function<void()>& closeMainWindow) {
    closeMainWindow_ = closeMainWindow;
    LinuxPlatform::RunMessageLoop(closeMainWindow);
    closeMainWindow_ = nullptr;
}

int ReplayPlatform::MessageBox(const std::string& text, uint32_t, const std::string& title) {
    std::fprintf(stderr, "gimbalo-replay: message \"%s\": %s\n", OneLine(title).c_str(),
                 OneLine(text).c_str());
    return 1;  // OK
}

bool ReplayPlatform::GetOpenFileNameA(OPENFILENAME& record) {
    return AnswerFileDialog(record, "open");
}

bool ReplayPlatform::GetSaveFileNameA(OPENFILENAME& record) {
    return AnswerFileDialog(record, "save");
}

bool ReplayPlatform::AnswerFileDialog(OPENFILENAME& record, const char* kind) {
    if (ProgramEnded()) return false;
    const std::string title = OneLine(record.lpstrTitle.substr(0, record.lpstrTitle.find('\0')));
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
    if (!RecordChosenFiles(record, {FullPath(*answer.dialogAnswer)})) {
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

void ReplayPlatform::SetMenuCommandRunner(std::function<bool(const std::string&)> run) {
    runMenuCommand_ = std::move(run);
}

void ReplayPlatform::DispatchTimer(Timer& timer) {
    if (!IsPollingTimer(timer)) {
        LinuxPlatform::DispatchTimer(timer);
        return;
    }
    if (quitting_) return;  // the close is on its way; no tick runs after quit
    if (resting_) EndRest();

    DueSteps due = player_.Advance(tick_);
    if (due.readingChanged) SetReading(player_.Reading());
    for (const ScriptStep* command : due.commands) {
        switch (command->kind) {
            case StepKind::Unplug:
                Unplug();
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
    LinuxPlatform::DispatchTimer(timer);
    inPollingTick_ = false;
    if (trace_ != nullptr) TracePollingTick();
    events_.clear();
    ++tick_;
    if (!timer.Enabled() && !ProgramEnded()) BeginRest();
}

void ReplayPlatform::BeginRest() {
    resting_ = true;
    reported_ = false;
    restTick_ = tick_ - 1;
    restClock_.start();
    if (trace_ != nullptr) WriteTraceLine(TraceRestLine(restTick_));
    const std::optional<uint64_t> next = player_.NextTick();
    if (!next) return;  // nothing more to come: asleep until the program closes
    // Reported at the time of the tick before it; at once when that is now.
    const uint64_t due = std::max(*next, tick_);
    nextStep_->start(static_cast<int>(std::min<uint64_t>((due - tick_) * 5, INT32_MAX)));
}

void ReplayPlatform::ReportNextStep() {
    if (!resting_) return;
    const std::optional<uint64_t> next = player_.NextTick();
    if (next) tick_ = std::max(*next, tick_);
    reported_ = true;
    Report();
}

void ReplayPlatform::Report() {
    // Any byte will do: it makes the descriptor readable, as a report does.
    if (reportWrite_ >= 0) (void)!write(reportWrite_, "r", 1);
}

uint64_t ReplayPlatform::TicksByTime() const {
    // A tick 5 ms after the last one run, and so on.
    return restTick_ + 1 + static_cast<uint64_t>(restClock_.elapsed()) / 5;
}

void ReplayPlatform::EndRest() {
    resting_ = false;
    nextStep_->stop();
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

void ReplayPlatform::SetReading(const StickReading& reading) {
    if (joysticks_.empty() || joysticks_.front().handle == nullptr) return;
    VirtualJoystick& joystick = joysticks_.front();
    Report();
    SDL_JoystickSetVirtualAxis(joystick.handle, 0, AxisValue(reading.x));
    SDL_JoystickSetVirtualAxis(joystick.handle, 1, AxisValue(reading.y));
    for (int button = 0; button < joystick.buttons && button < kScriptMaxButtons; ++button)
        SDL_JoystickSetVirtualButton(joystick.handle, button,
                                     (reading.buttons >> button) & 1u ? SDL_PRESSED : SDL_RELEASED);
}

void ReplayPlatform::Unplug() {
    const int index = SdlIndex(0);
    if (index < 0) return;
    Report();
    VirtualJoystick& joystick = joysticks_.front();
    SDL_JoystickClose(joystick.handle);
    joystick.handle = nullptr;
    SDL_JoystickDetachVirtual(index);
}

void ReplayPlatform::Quit() {
    quitting_ = true;
    // The close unloads the main window and with it this very timer, so it
    // runs from the message loop once the tick has returned, as the exit
    // command does from the menu.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this] {
            if (closeMainWindow_)
                closeMainWindow_();
            else
                EndProgram();
        },
        Qt::QueuedConnection);
}

void ReplayPlatform::QueueMenuCommand(const ScriptStep& step) {
    // A command may open or close forms or end the program, which must not
    // happen inside the tick's timer dispatch.
    const uint64_t dueTick = tick_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, &step, dueTick] {
            if (ProgramEnded()) return;
            if (trace_ != nullptr) WriteTraceLine(TraceMenuLine(dueTick, step.menuItem));
            if (runMenuCommand_ && runMenuCommand_(step.menuItem)) return;
            std::fprintf(stderr, "gimbalo-replay: menu %s (line %d) could not be chosen\n",
                         step.menuItem.c_str(), step.line);
            // Ticks stopped for the exit command; the program must still end.
            if (EndsProgram(step)) EndProgram();
        },
        Qt::QueuedConnection);
}

void ReplayPlatform::TracePollingTick() {
    POINT pointer;
    GetCursorPos(pointer);
    WriteTraceLine(TraceTickLine(tick_, read_, pointer, events_));
}

bool ReplayPlatform::TraceEnd() {
    // Closed during a rest: the ticks plain polling would have run by now.
    if (resting_) tick_ = std::max(tick_, TicksByTime());
    if (trace_ == nullptr) return true;
    POINT pointer;
    GetCursorPos(pointer);
    WriteTraceLine(TraceEndLine(tick_, pointer, events_));
    if (!traceLost_ && std::fflush(trace_) != 0) traceLost_ = true;
    return !traceLost_;
}

void ReplayPlatform::WriteTraceLine(const std::string& line) {
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
