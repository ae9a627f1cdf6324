#include "platform/sim/sim_platform.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/common/form_window.h"
#include "platform/common/text_encoding.h"
#include "platform/file_system.h"

namespace gimbalo {

// A form's window on the sim: nothing to draw; it notes the form coming to
// the front.
class SimPlatform::Window final : public FormWindow {
public:
    Window(SimPlatform& sim, Form& form) : sim_(sim), form_(form) {}
    void ControlChanged(Control&, Property) override {}
    void Detach() override {}

private:
    bool Detached() const override { return false; }
    void ShowCaption() override {}
    void ShowVisibility() override {}
    void ShowIcon() override {}
    void BringToFront() override { sim_.broughtForward.push_back(form_.Name()); }

    SimPlatform& sim_;
    Form& form_;
};

// A loaded form on the sim: its timers count the time AdvanceTime passes.
class SimPlatform::Host : public FormHost {
public:
    Host(SimPlatform& sim, Form& form) : FormHost(form), sim_(sim) { Attach(); }
    ~Host() override {
        for (Control* control : Model().Controls())
            if (control->Kind() == ControlKind::Timer)
                sim_.timerElapsed_.erase(static_cast<Timer*>(control));
    }

private:
    void FollowTimer(Timer& timer) override { sim_.timerElapsed_[&timer] = 0; }
    FormWindow* ExistingWindow() const override { return window_.get(); }
    FormWindow* MakeWindow() override {
        window_ = std::make_unique<SimPlatform::Window>(sim_, Model());
        return window_.get();
    }

    SimPlatform& sim_;
    std::unique_ptr<SimPlatform::Window> window_;
};

// The sim's notification area: the icons as the program described them.
class SimPlatform::Tray : public TrayIconBook {
public:
    explicit Tray(SimPlatform& sim)
        : TrayIconBook([&sim] { return sim.TwipsPerPixelX(); }), sim_(sim) {}
    ~Tray() override { HideAll(); }

private:
    bool Show(uint32_t serial, const NOTIFYICONDATA& data) override {
        sim_.trayIcons_.push_back(
            {data.hWnd, data.uID, data.hIcon, data.szTip, data.uCallbackMessage});
        serials_.push_back(serial);
        return true;
    }
    void Hide(uint32_t serial) override {
        const auto found = std::find(serials_.begin(), serials_.end(), serial);
        if (found == serials_.end()) return;
        sim_.trayIcons_.erase(sim_.trayIcons_.begin() + (found - serials_.begin()));
        serials_.erase(found);
    }

    SimPlatform& sim_;
    std::vector<uint32_t> serials_;  // of the icons in sim_.trayIcons_
};

SimPlatform::SimPlatform(std::string folder) : folder_(std::move(folder)), exeFolder_(folder_) {}

SimPlatform::~SimPlatform() {
    CloseDesktop();
}

std::unique_ptr<FormHost> SimPlatform::MakeHost(Form& form) {
    return std::make_unique<Host>(*this, form);
}

std::unique_ptr<TrayIconBook> SimPlatform::MakeTray() {
    return std::make_unique<Tray>(*this);
}

int SimPlatform::AddJoystick(const std::string& name, uint32_t buttons) {
    SimJoystick joystick;
    joystick.name = name;
    joystick.buttons = buttons;
    joystick.reading.dwXpos = 32767;
    joystick.reading.dwYpos = 32767;
    joysticks_.push_back(joystick);
    return static_cast<int>(joysticks_.size()) - 1;
}

void SimPlatform::SetStick(uint32_t x, uint32_t y, uint32_t buttons, int device) {
    JOYINFOEX& reading = Joystick(device).reading;
    reading.dwXpos = x;
    reading.dwYpos = y;
    reading.dwButtons = buttons;
}

void SimPlatform::SetScreen(int32_t width, int32_t height) {
    screenWidth_ = width;
    screenHeight_ = height;
    SetCursorPos(pointer_.x, pointer_.y);
}

void SimPlatform::SetPointer(int32_t x, int32_t y) {
    SetCursorPos(x, y);
}

void SimPlatform::QueueDialogAnswer(std::optional<std::string> fileBuffer, uint32_t flags) {
    dialogAnswers_.push_back({std::move(fileBuffer), flags});
}

void SimPlatform::SetExecutable(std::string folder, std::string name) {
    exeFolder_ = std::move(folder);
    exeName_ = std::move(name);
}

void SimPlatform::AdvanceTime(int milliseconds) {
    for (int elapsed = 0; elapsed < milliseconds && !ended_; ++elapsed) {
        DeliverWake();
        if (ended_) break;
        ++now_;
        // Collect first: a tick may load or unload forms.
        std::vector<Timer*> due;
        for (Form* form : LoadedForms()) {
            for (Control* control : form->Controls()) {
                if (control->Kind() != ControlKind::Timer) continue;
                auto* timer = static_cast<Timer*>(control);
                if (timer->Interval() <= 0 || !timer->Enabled()) continue;
                if (++timerElapsed_[timer] >= timer->Interval()) {
                    timerElapsed_[timer] = 0;
                    due.push_back(timer);
                }
            }
        }
        for (Timer* timer : due) {
            if (ended_) break;
            if (FormLoaded(timer->Owner())) timer->Fire();
        }
    }
}

bool SimPlatform::WatchJoystick(int device, std::function<void()> wake) {
    if (!watchable_) return false;
    watched_ = device;
    watchedFrom_ = joysticks_;
    wake_ = std::move(wake);
    return true;
}

void SimPlatform::DeliverWake() {
    if (!wake_) return;
    bool changed = watchedFrom_.size() != joysticks_.size();
    for (std::size_t device = 0; !changed && device < joysticks_.size(); ++device)
        changed = watchedFrom_[device].present != joysticks_[device].present;
    const auto watched = static_cast<std::size_t>(watched_);
    if (!changed && watched < joysticks_.size()) {
        const JOYINFOEX& before = watchedFrom_[watched].reading;
        const JOYINFOEX& now = joysticks_[watched].reading;
        changed = before.dwXpos != now.dwXpos || before.dwYpos != now.dwYpos ||
                  before.dwButtons != now.dwButtons;
    }
    if (!changed) return;
    // One wake per watch, as the desktop's.
    std::function<void()> wake = std::move(wake_);
    wake_ = nullptr;
    ++joystickWakes;
    wake();
}

uint32_t SimPlatform::joyGetPosEx(int device, JOYINFOEX& info) {
    if (device < 0 || static_cast<std::size_t>(device) >= joysticks_.size()) return JOYERR_PARMS;
    const SimJoystick& joystick = joysticks_[static_cast<std::size_t>(device)];
    if (!joystick.present) return JOYERR_UNPLUGGED;
    const uint32_t size = info.dwSize;
    const uint32_t flags = info.dwFlags;
    info = joystick.reading;
    info.dwSize = size;
    info.dwFlags = flags;
    return JOYERR_NOERROR;
}

uint32_t SimPlatform::joyGetDevCapsA(int device, JOYCAPS& caps) {
    if (device < 0 || static_cast<std::size_t>(device) >= joysticks_.size()) return JOYERR_PARMS;
    const SimJoystick& joystick = joysticks_[static_cast<std::size_t>(device)];
    if (!joystick.present) return JOYERR_UNPLUGGED;
    caps = JOYCAPS{};
    // As the desktop's joystick layer does: 32 characters of the program's text.
    caps.szPname = FirstCharacters(joystick.name, kJoystickNameLength, utf8_);
    caps.wNumButtons = joystick.buttons;
    return JOYERR_NOERROR;
}

bool SimPlatform::GetCursorPos(POINT& point) {
    point = pointer_;
    return true;
}

bool SimPlatform::SetCursorPos(int32_t x, int32_t y) {
    pointer_.x = std::clamp(x, 0, screenWidth_ - 1);
    pointer_.y = std::clamp(y, 0, screenHeight_ - 1);
    return true;
}

void SimPlatform::mouse_event(uint32_t flags, uint32_t, uint32_t, uint32_t, uintptr_t) {
    buttonEvents.push_back(flags);
}

void SimPlatform::RunMessageLoop(const std::function<void()>&) {
    // Tests drive time themselves with AdvanceTime.
}

int SimPlatform::MessageBox(const std::string& text, uint32_t style, const std::string& title) {
    messageBoxes.push_back({text, style, title});
    return 1;
}

MenuItem* SimPlatform::ChooseFromPopup(Menu& menu) {
    ++popupMenusShown;
    SimShownMenu shown;
    shown.form = &menu.Owner();
    shown.menu = menu.Name();
    for (const MenuItem* item : menu.Items())
        shown.items.push_back(
            {item->Name(), item->Caption(), item->IsSeparator(), item->PictureHandle()});
    shownMenus.push_back(std::move(shown));
    if (menuChoices_.empty()) return nullptr;
    const std::string choice = std::move(menuChoices_.front());
    menuChoices_.pop_front();
    return menu.Find(choice);
}

int32_t SimPlatform::LoadPicture(const std::string& fileName) {
    auto found = pictures_.find(fileName);
    if (found != pictures_.end()) return found->second;
    const int32_t handle = 1000 + static_cast<int32_t>(pictures_.size());
    pictures_[fileName] = handle;
    return handle;
}

bool SimPlatform::Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) {
    trayCalls.push_back({message, data});
    return DesktopPlatform::Shell_NotifyIconA(message, data);
}

bool SimPlatform::StartProgram(const std::string& commandLine, int showStyle) {
    startedPrograms.push_back({commandLine, showStyle});
    return true;
}

bool SimPlatform::ShowDialog(OPENFILENAME& record) {
    dialogs.push_back(record);
    if (dialogAnswers_.empty()) return false;
    DialogAnswer answer = std::move(dialogAnswers_.front());
    dialogAnswers_.pop_front();
    if (!answer.buffer) return false;
    if (answer.buffer->size() > record.nMaxFile) return false;  // does not fit the buffer
    record.lpstrFile = *answer.buffer;
    record.lpstrFile.resize(record.nMaxFile, '\0');
    record.Flags |= answer.flags;
    return true;
}

bool SimPlatform::GetOpenFileNameA(OPENFILENAME& record) {
    dialogsOpen.push_back(true);
    return ShowDialog(record);
}
bool SimPlatform::GetSaveFileNameA(OPENFILENAME& record) {
    dialogsOpen.push_back(false);
    return ShowDialog(record);
}

int SimPlatform::GetLocaleInfoA(uint32_t, uint32_t type, char* buffer, int size) {
    if (type != LOCALE_SENGCOUNTRY || !country_ || size <= 0) return 0;
    const std::string& answer = *country_;
    if (static_cast<int>(answer.size()) + 1 > size) return 0;
    std::memcpy(buffer, answer.c_str(), answer.size() + 1);
    return localeAnswerCount_.value_or(static_cast<int>(answer.size()) + 1);
}

bool SimPlatform::WriteAutostart(const std::string& name, const std::string& executablePath) {
    if (!autostartWritable_) return false;
    autostart[name] = executablePath;
    return true;
}

bool SimPlatform::DeleteAutostart(const std::string& name) {
    if (!autostartWritable_) return false;
    return autostart.erase(name) > 0;
}

std::string SimPlatform::ExecutablePath() {
    return exeFolder_ + separator_ + exeName_;
}

bool SimPlatform::FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(FileSystemPath(path, utf8_), error);
}

bool SimPlatform::SetFileAttributesA(const std::string& path, uint32_t attributes) {
    if (!FileExists(path)) return false;
    fileAttributes[path] = attributes;
    return true;
}

}  // namespace gimbalo
