#include "platform/windows/replay_platform.h"

#include <filesystem>
#include <system_error>

#include "platform/common/text_encoding.h"
#include "platform/forms.h"
#include "platform/windows/message_loop.h"
#include "platform/windows/wide_text.h"

namespace gimbalo {

namespace {

// Work posted to run once the tick has returned.
constexpr UINT kRunPostedMessage = WM_APP + 3;
// The longest product name winmm hands over, its NUL aside.
constexpr std::size_t kWinmmNameLength = 31;

std::filesystem::path FileSystemPathOf(const std::string& utf8) {
    return std::filesystem::path(Wide(utf8));
}

}  // namespace

ReplayPlatform::ReplayPlatform(HINSTANCE instance, const Script& script, std::FILE* trace)
    : WindowsPlatform(instance), session_(script, trace, *this, *this, "\\/") {
    for (const ScriptJoystick& declared : script.joysticks)
        joysticks_.push_back({declared.name, declared.buttons, true});
}

std::unique_ptr<ReplayPlatform> ReplayPlatform::Create(HINSTANCE instance, const Script& script,
                                                       std::FILE* trace,
                                                       const std::string& settingsFolder,
                                                       std::string& error) {
    std::unique_ptr<ReplayPlatform> platform(new ReplayPlatform(instance, script, trace));
    if (!platform->PrepareSettingsFolder(settingsFolder, error)) return nullptr;
    if (!platform->Initialise(error)) return nullptr;
    ReplayPlatform* self = platform.get();
    platform->Loop().Window().On(kRunPostedMessage, [self](WPARAM, LPARAM) -> LRESULT {
        if (self->posted_.empty()) return 0;
        const std::function<void()> work = std::move(self->posted_.front());
        self->posted_.pop_front();
        work();
        return 0;
    });
    return platform;
}

ReplayPlatform::~ReplayPlatform() {
    if (settingsFolderIsTemporary_) {
        std::error_code ignored;
        std::filesystem::remove_all(FileSystemPathOf(settingsFolder_), ignored);
    }
}

bool ReplayPlatform::PrepareSettingsFolder(const std::string& chosen, std::string& error) {
    std::error_code failure;
    if (!chosen.empty()) {
        const std::filesystem::path folder = FileSystemPathOf(chosen);
        std::filesystem::create_directories(folder, failure);
        if (failure || !std::filesystem::is_directory(folder, failure)) {
            error = "gimbalo-replay: cannot use the settings folder " + chosen + ": " +
                    (failure ? failure.message() : std::string("not a folder"));
            return false;
        }
        const std::filesystem::path full = std::filesystem::absolute(folder, failure);
        settingsFolder_ = failure ? chosen : Utf8(full.wstring());
        return true;
    }
    wchar_t temporary[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temporary);
    const std::wstring folder = std::wstring(temporary, length) + L"gimbalo-replay-" +
                                std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(GetTickCount64());
    if (length == 0 || length >= MAX_PATH || !CreateDirectoryW(folder.c_str(), nullptr)) {
        error = "gimbalo-replay: cannot make a temporary settings folder (error " +
                std::to_string(GetLastError()) + ")";
        return false;
    }
    settingsFolder_ = Utf8(folder);
    settingsFolderIsTemporary_ = true;
    return true;
}

std::string ReplayPlatform::SettingsFolder() {
    return settingsFolder_;
}

uint32_t ReplayPlatform::joyGetPosEx(int device, JOYINFOEX& info) {
    uint32_t result = JOYERR_UNPLUGGED;
    if (device >= 0 && static_cast<std::size_t>(device) < joysticks_.size() &&
        joysticks_[static_cast<std::size_t>(device)].present) {
        const ScriptedJoystick& joystick = joysticks_[static_cast<std::size_t>(device)];
        // The script moves device 0; the others rest.
        const StickReading reading = device == 0 ? reading_ : StickReading{};
        const uint32_t buttons =
            joystick.buttons >= kScriptMaxButtons ? ~0u : (1u << joystick.buttons) - 1;
        info.dwXpos = reading.x;
        info.dwYpos = reading.y;
        info.dwZpos = kScriptAxisCentre;
        info.dwRpos = kScriptAxisCentre;
        info.dwUpos = kScriptAxisCentre;
        info.dwVpos = kScriptAxisCentre;
        info.dwButtons = reading.buttons & buttons;
        info.dwButtonNumber = 0;
        for (uint32_t held = info.dwButtons; held != 0; held &= held - 1) ++info.dwButtonNumber;
        info.dwPOV = 0xFFFF;  // JOY_POVCENTERED
        result = JOYERR_NOERROR;
    }
    session_.NoteRead(device, result, info);
    return result;
}

uint32_t ReplayPlatform::joyGetDevCapsA(int device, JOYCAPS& caps) {
    if (device < 0 || static_cast<std::size_t>(device) >= joysticks_.size() ||
        !joysticks_[static_cast<std::size_t>(device)].present)
        return JOYERR_UNPLUGGED;
    const ScriptedJoystick& joystick = joysticks_[static_cast<std::size_t>(device)];
    caps = JOYCAPS{};
    caps.szPname = FirstCharacters(joystick.name, kWinmmNameLength, true);
    caps.wNumButtons = static_cast<uint32_t>(joystick.buttons);
    return JOYERR_NOERROR;
}

void ReplayPlatform::mouse_event(uint32_t flags, uint32_t dx, uint32_t dy, uint32_t data,
                                 uintptr_t extraInfo) {
    session_.NoteEvent(flags);
    WindowsPlatform::mouse_event(flags, dx, dy, data, extraInfo);
}

void ReplayPlatform::RunMessageLoop(const std::function<void()>& closeMainWindow) {
    closeMainWindow_ = closeMainWindow;
    WindowsPlatform::RunMessageLoop(closeMainWindow);
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

bool ReplayPlatform::WriteAutostart(const std::string& name, const std::string&) {
    return session_.LeaveAutostartAlone(name, true);
}

bool ReplayPlatform::DeleteAutostart(const std::string& name) {
    return session_.LeaveAutostartAlone(name, false);
}

void ReplayPlatform::SetMenuCommandRunner(std::function<bool(const std::string&)> run) {
    session_.SetMenuCommandRunner(std::move(run));
}

bool ReplayPlatform::TraceEnd() {
    return session_.TraceEnd();
}

void ReplayPlatform::DispatchTimer(Timer& timer) {
    if (ReplaySession::IsPollingTimer(timer))
        session_.PollingTick(timer, [this, &timer] { WindowsPlatform::DispatchTimer(timer); });
    else
        WindowsPlatform::DispatchTimer(timer);
}

void ReplayPlatform::SetReading(const StickReading& reading) {
    reading_ = reading;
}

void ReplayPlatform::Unplug() {
    if (!joysticks_.empty()) joysticks_.front().present = false;
}

void ReplayPlatform::Post(std::function<void()> work) {
    posted_.push_back(std::move(work));
    PostMessageW(Loop().Window().Handle(), kRunPostedMessage, 0, 0);
}

void ReplayPlatform::Close() {
    if (closeMainWindow_)
        closeMainWindow_();
    else
        EndProgram();
}

}  // namespace gimbalo
