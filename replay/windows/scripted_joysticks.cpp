#include "replay/windows/scripted_joysticks.h"

#include "platform/common/text_encoding.h"
#include "platform/windows/ui_thread_loop.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo {

namespace {

// Work posted to run once the tick has returned.
constexpr UINT kRunPostedMessage = WM_APP + 3;
// The longest product name winmm hands over, its NUL aside.
constexpr std::size_t kWinmmNameLength = 31;

}  // namespace

ScriptedJoysticks::ScriptedJoysticks(WindowsPlatform& desktop, const Script& script)
    : desktop_(desktop) {
    for (const ScriptJoystick& declared : script.joysticks)
        joysticks_.push_back({declared.name, declared.buttons, true});
    desktop_.Loop().Window().On(kRunPostedMessage, [this](WPARAM, LPARAM) -> LRESULT {
        if (posted_.empty()) return 0;
        const std::function<void()> work = std::move(posted_.front());
        posted_.pop_front();
        work();
        return 0;
    });
}

ScriptedJoysticks::~ScriptedJoysticks() {
    desktop_.Loop().Window().Off(kRunPostedMessage);
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

void ScriptedJoysticks::Unplug() {
    if (!joysticks_.empty()) joysticks_.front().present = false;
}

void ScriptedJoysticks::Post(std::function<void()> work) {
    posted_.push_back(std::move(work));
    PostMessageW(desktop_.Loop().Window().Handle(), kRunPostedMessage, 0, 0);
}

}  // namespace gimbalo
