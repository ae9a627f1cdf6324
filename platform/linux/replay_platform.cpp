#include "platform/linux/replay_platform.h"

#include <SDL.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/file_dialog_record.h"
#include "platform/forms.h"
#include "platform/linux/sdl_joysticks.h"
#include "replay/trace.h"

namespace gimbalo {

namespace {

// A reading as the program sees it (0..65535) becomes an SDL axis value.
Sint16 AxisValue(uint32_t reading) {
    return static_cast<Sint16>(static_cast<int32_t>(reading) - 32768);
}

}  // namespace

ReplayPlatform::ReplayPlatform(const Script& script, std::FILE* trace, bool poll)
    : script_(script), session_(script, trace, *this, *this, "/"), poll_(poll) {}

std::unique_ptr<ReplayPlatform> ReplayPlatform::Create(int& argc, char** argv, const Script& script,
                                                       std::FILE* trace,
                                                       const std::string& settingsFolder, bool poll,
                                                       std::string& error) {
    std::unique_ptr<ReplayPlatform> platform(new ReplayPlatform(script, trace, poll));
    if (!platform->PrepareSettingsFolder(settingsFolder, error)) return nullptr;
    if (!platform->Initialise(argc, argv, error)) return nullptr;
    if (!platform->AttachJoysticks(error)) return nullptr;
    platform->report_ = std::make_unique<QTimer>();
    platform->report_->setSingleShot(true);
    platform->report_->setTimerType(Qt::PreciseTimer);
    QObject::connect(platform->report_.get(), &QTimer::timeout, [raw = platform.get()] {
        raw->session_.InputReported();
        raw->Report();
    });
    return platform;
}

ReplayPlatform::~ReplayPlatform() {
    report_.reset();
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
        settingsFolder_ = std::filesystem::absolute(chosen, failure).string();
        if (failure) settingsFolder_ = chosen;
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
    return session_.LeaveAutostartAlone(name, true);
}

bool ReplayPlatform::DeleteAutostart(const std::string& name) {
    return session_.LeaveAutostartAlone(name, false);
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
    session_.NoteRead(device, result, info);
    return result;
}

uint32_t ReplayPlatform::joyGetDevCapsA(int device, JOYCAPS& caps) {
    const int desktop = DesktopDevice(device);
    return desktop < 0 ? JOYERR_UNPLUGGED : LinuxPlatform::joyGetDevCapsA(desktop, caps);
}

void ReplayPlatform::mouse_event(uint32_t flags, uint32_t dx, uint32_t dy, uint32_t data,
                                 uintptr_t extraInfo) {
    session_.NoteEvent(flags);
    LinuxPlatform::mouse_event(flags, dx, dy, data, extraInfo);
}

void ReplayPlatform::RunMessageLoop(const std::function<void()>& closeMainWindow) {
    closeMainWindow_ = closeMainWindow;
    LinuxPlatform::RunMessageLoop(closeMainWindow);
    closeMainWindow_ = nullptr;
}

int ReplayPlatform::MessageBox(const std::string& text, uint32_t, const std::string& title) {
    return session_.MessageBox(text, title);
}

bool ReplayPlatform::GetOpenFileNameA(OPENFILENAME& record) {
    return session_.AnswerFileDialog(record, "open");
}

bool ReplayPlatform::GetSaveFileNameA(OPENFILENAME& record) {
    return session_.AnswerFileDialog(record, "save");
}

void ReplayPlatform::SetMenuCommandRunner(std::function<bool(const std::string&)> run) {
    session_.SetMenuCommandRunner(std::move(run));
}

void ReplayPlatform::DispatchTimer(Timer& timer) {
    if (ReplaySession::IsPollingTimer(timer))
        session_.PollingTick(timer, [this, &timer] { LinuxPlatform::DispatchTimer(timer); });
    else
        LinuxPlatform::DispatchTimer(timer);
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

void ReplayPlatform::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

void ReplayPlatform::Close() {
    if (closeMainWindow_)
        closeMainWindow_();
    else
        EndProgram();
}

void ReplayPlatform::Report() {
    // Any byte will do: it makes the descriptor readable, as a report does.
    if (reportWrite_ >= 0) (void)!write(reportWrite_, "r", 1);
}

void ReplayPlatform::ReportInputIn(int milliseconds) {
    report_->start(milliseconds);
}

void ReplayPlatform::CancelInputReport() {
    report_->stop();
}

bool ReplayPlatform::TraceEnd() {
    return session_.TraceEnd();
}

}  // namespace gimbalo
