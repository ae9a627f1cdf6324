#include "replay/replay_platform.h"

#include "platform/common/timer_dispatch.h"
#include "replay/replay_desktop.h"

namespace gimbalo {

namespace {

// Where the folders of a scripted path end: at the desktop's separator, and
// at '/', which every desktop takes.
std::string Separators(char separator) {
    return separator == '/' ? "/" : std::string{separator, '/'};
}

}  // namespace

ReplayPlatform::ReplayPlatform(Platform& desktop, TimerDispatch& ticks, ReplayDesktop& joysticks,
                               const Script& script, std::FILE* trace, std::string settingsFolder,
                               bool poll)
    : desktop_(desktop),
      ticks_(ticks),
      joysticks_(joysticks),
      settingsFolder_(std::move(settingsFolder)),
      poll_(poll),
      session_(script, trace, *this, joysticks, Separators(desktop.PathSeparator()),
               [this] { Close(); }) {
    ticks_.Wrap([this](Timer& timer, const std::function<void()>& fire) {
        if (session_.IsPollingTimer(timer))
            session_.PollingTick(timer, fire);
        else
            fire();
    });
}

ReplayPlatform::~ReplayPlatform() {
    ticks_.Wrap(nullptr);
}

void ReplayPlatform::SetMenuCommandRunner(std::function<bool(const std::string&)> run) {
    session_.SetMenuCommandRunner(std::move(run));
}

uint32_t ReplayPlatform::joyGetPosEx(int device, JOYINFOEX& info) {
    const uint32_t result = joysticks_.joyGetPosEx(device, info);
    session_.NoteRead(device, result, info);
    return result;
}

uint32_t ReplayPlatform::joyGetDevCapsA(int device, JOYCAPS& caps) {
    return joysticks_.joyGetDevCapsA(device, caps);
}

void ReplayPlatform::mouse_event(uint32_t flags, uint32_t dx, uint32_t dy, uint32_t data,
                                 uintptr_t extraInfo) {
    session_.NoteEvent(flags);
    desktop_.mouse_event(flags, dx, dy, data, extraInfo);
}

void ReplayPlatform::RunMessageLoop(const std::function<void()>& closeMainWindow) {
    closeMainWindow_ = closeMainWindow;
    desktop_.RunMessageLoop(closeMainWindow);
    closeMainWindow_ = nullptr;
}

void ReplayPlatform::Close() {
    if (closeMainWindow_)
        closeMainWindow_();
    else
        desktop_.EndProgram();
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

bool ReplayPlatform::WatchJoystick(int device, std::function<void()> wake) {
    return !poll_ && desktop_.WatchJoystick(device, std::move(wake));
}

}  // namespace gimbalo
