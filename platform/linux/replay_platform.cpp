#include "platform/linux/replay_platform.h"

#include <SDL.h>

#include <stdlib.h>

#include <QCoreApplication>
#include <QDir>
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

ReplayPlatform::ReplayPlatform(const Script& script, std::FILE* trace)
    : script_(script), session_(script, trace, *this, *this, "/") {}

std::unique_ptr<ReplayPlatform> ReplayPlatform::Create(int& argc, char** argv, const Script& script,
                                                       std::FILE* trace,
                                                       const std::string& settingsFolder,
                                                       std::string& error) {
    std::unique_ptr<ReplayPlatform> platform(new ReplayPlatform(script, trace));
    if (!platform->PrepareSettingsFolder(settingsFolder, error)) return nullptr;
    if (!platform->Initialise(argc, argv, error)) return nullptr;
    if (!platform->AttachJoysticks(error)) return nullptr;
    return platform;
}

ReplayPlatform::~ReplayPlatform() {
    for (VirtualJoystick& joystick : joysticks_)
        if (joystick.handle != nullptr) SDL_JoystickClose(joystick.handle);
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
    return true;
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
    if (SdlIndex(device) < 0 || Joysticks() == nullptr) return -1;
    // Real joysticks, and devices that went away, may hold other numbers.
    return Joysticks()->DeviceOf(joysticks_[static_cast<std::size_t>(device)].instance);
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
        session_.PollingTick([this, &timer] { LinuxPlatform::DispatchTimer(timer); });
    else
        LinuxPlatform::DispatchTimer(timer);
}

void ReplayPlatform::SetReading(const StickReading& reading) {
    if (joysticks_.empty() || joysticks_.front().handle == nullptr) return;
    VirtualJoystick& joystick = joysticks_.front();
    SDL_JoystickSetVirtualAxis(joystick.handle, 0, AxisValue(reading.x));
    SDL_JoystickSetVirtualAxis(joystick.handle, 1, AxisValue(reading.y));
    for (int button = 0; button < joystick.buttons && button < kScriptMaxButtons; ++button)
        SDL_JoystickSetVirtualButton(joystick.handle, button,
                                     (reading.buttons >> button) & 1u ? SDL_PRESSED : SDL_RELEASED);
}

void ReplayPlatform::Unplug() {
    const int index = SdlIndex(0);
    if (index < 0) return;
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

void ReplayPlatform::TraceEnd() {
    session_.TraceEnd();
}

}  // namespace gimbalo
