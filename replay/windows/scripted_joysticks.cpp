#include "replay/windows/scripted_joysticks.h"

#include "platform/common/text_encoding.h"
#include "platform/windows/joystick_watch.h"
#include "platform/windows/ui_thread_loop.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo {

namespace {

// Work posted to run once the tick has returned.
constexpr UINT kRunPostedMessage = WM_APP + 3;
// The report of the next step came due; wParam its number.
constexpr UINT kReportDueMessage = WM_APP + 5;
// The longest product name winmm hands over, its NUL aside.
constexpr std::size_t kWinmmNameLength = 31;

}  // namespace

ScriptedJoysticks::ScriptedJoysticks(WindowsPlatform& desktop, const Script& script)
    : desktop_(desktop) {
    for (const ScriptJoystick& declared : script.joysticks)
        joysticks_.push_back({declared.name, declared.buttons, true});
    MessageWindow& window = desktop_.Loop().Window();
    window.On(kRunPostedMessage, [this](WPARAM, LPARAM) -> LRESULT {
        if (posted_.empty()) return 0;
        const std::function<void()> work = std::move(posted_.front());
        posted_.pop_front();
        work();
        return 0;
    });
    window.On(kReportDueMessage, [this](WPARAM number, LPARAM) -> LRESULT {
        if (number != reportNumber_ || !reported_) return 0;
        const std::function<void()> reported = std::move(reported_);
        reported_ = nullptr;
        reported();
        Report();
        return 0;
    });
    // Device 0 stands for a Raw Input device of its own, also once
    // unplugged, so a quit or a menu command still comes; the others rest
    // and cannot be watched.
    if (JoystickWatch* watch = desktop_.Watch(); watch != nullptr && !joysticks_.empty())
        watch->TakeInputFrom([this](int device) {
            if (device != 0) return JoystickWatch::Input{};
            return JoystickWatch::Input{JoystickWatch::Input::Kind::Devices, {this}};
        });
}

ScriptedJoysticks::~ScriptedJoysticks() {
    CancelInputReport();
    if (JoystickWatch* watch = desktop_.Watch()) {
        watch->Stop();
        watch->TakeInputFrom(nullptr);
    }
    desktop_.Loop().Window().Off(kRunPostedMessage);
    desktop_.Loop().Window().Off(kReportDueMessage);
}

const ScriptedJoysticks::ScriptedJoystick* ScriptedJoysticks::Present(int device) const {
    if (device < 0 || static_cast<std::size_t>(device) >= joysticks_.size()) return nullptr;
    const ScriptedJoystick& joystick = joysticks_[static_cast<std::size_t>(device)];
    return joystick.present ? &joystick : nullptr;
}

uint32_t ScriptedJoysticks::joyGetPosEx(int device, JOYINFOEX& info) {
    const ScriptedJoystick* joystick = Present(device);
    if (joystick == nullptr) return JOYERR_UNPLUGGED;
    // The script moves device 0; the others rest.
    const StickReading reading = device == 0 ? reading_ : StickReading{};
    const uint32_t buttons =
        joystick->buttons >= kScriptMaxButtons ? ~0u : (1u << joystick->buttons) - 1;
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
    return JOYERR_NOERROR;
}

uint32_t ScriptedJoysticks::joyGetDevCapsA(int device, JOYCAPS& caps) {
    const ScriptedJoystick* joystick = Present(device);
    if (joystick == nullptr) return JOYERR_UNPLUGGED;
    caps = JOYCAPS{};
    caps.szPname = FirstCharacters(joystick->name, kWinmmNameLength, true);
    caps.wNumButtons = static_cast<uint32_t>(joystick->buttons);
    return JOYERR_NOERROR;
}

void ScriptedJoysticks::SetReading(const StickReading& reading) {
    reading_ = reading;
    Report();
}

void ScriptedJoysticks::Unplug() {
    if (joysticks_.empty()) return;
    joysticks_.front().present = false;
    Report();
}

void ScriptedJoysticks::Report() {
    if (JoystickWatch* watch = desktop_.Watch()) watch->Report(this);
}

void __stdcall ScriptedJoysticks::ReportDue(void* self, unsigned char) {
    auto* joysticks = static_cast<ScriptedJoysticks*>(self);
    // From a pool thread: the rest runs on the user-interface thread.
    PostMessageW(joysticks->desktop_.Loop().Window().Handle(), kReportDueMessage,
                 joysticks->reportNumber_, 0);
}

void ScriptedJoysticks::ReportInputIn(int milliseconds, std::function<void()> reported) {
    CancelInputReport();
    reported_ = std::move(reported);
    HANDLE timer = nullptr;
    if (CreateTimerQueueTimer(&timer, nullptr, &ScriptedJoysticks::ReportDue, this,
                              static_cast<DWORD>(milliseconds), 0, WT_EXECUTEONLYONCE))
        reportTimer_ = timer;
}

void ScriptedJoysticks::CancelInputReport() {
    if (reportTimer_ != nullptr) {
        // Waits for a callback that runs now.
        DeleteTimerQueueTimer(nullptr, reportTimer_, INVALID_HANDLE_VALUE);
        reportTimer_ = nullptr;
    }
    ++reportNumber_;  // a report that came due meanwhile is stale
    reported_ = nullptr;
}

void ScriptedJoysticks::Post(std::function<void()> work) {
    posted_.push_back(std::move(work));
    PostMessageW(desktop_.Loop().Window().Handle(), kRunPostedMessage, 0, 0);
}

}  // namespace gimbalo
