// Waits, in the message loop, for a sign that what joyGetPosEx reports for a
// joystick may have changed: a report from the joystick itself, or a game
// controller coming or going. Both come through Raw Input: the HID joystick,
// gamepad and multi-axis controller usages are registered with
// RIDEV_INPUTSINK | RIDEV_DEVNOTIFY to a message-only window while the watch
// is armed, so reports come as WM_INPUT even while another program has the
// focus, and arrivals and removals as WM_INPUT_DEVICE_CHANGE. Nothing is
// registered while the program polls: a held stick's reports wake nobody.
//
// A winmm joystick is matched to its Raw Input devices by vendor and product
// (JOYCAPS' wMid and wPid); a joystick that matches none cannot be watched,
// and the program keeps polling it.
#pragma once

#include <functional>
#include <vector>

#include "platform/windows/message_window.h"
#include "platform/windows/win32.h"

namespace gimbalo {

class JoystickWatch {
public:
    // What tells of a joystick's input: nothing there (Absent: only a
    // controller arriving can change what it reads), the Raw Input devices
    // whose reports do (Devices: every one that may be it), or nothing that
    // can be watched (Unwatchable: the program keeps polling).
    struct Input {
        enum class Kind { Absent, Unwatchable, Devices } kind = Kind::Unwatchable;
        std::vector<HANDLE> devices;
    };
    using InputFinder = std::function<Input(int device)>;

    explicit JoystickWatch(HINSTANCE instance);
    ~JoystickWatch();
    JoystickWatch(const JoystickWatch&) = delete;
    JoystickWatch& operator=(const JoystickWatch&) = delete;

    // As Platform::WatchJoystick: calls `wake` once, from the message loop,
    // at the first report from winmm device `device` or controller coming or
    // going. False, and nothing armed, when it cannot be watched.
    bool Watch(int device, std::function<void()> wake);
    void Stop();
    bool Armed() const { return static_cast<bool>(wake_); }

    // From now on `find` tells what reports each device's input, in place of
    // winmm's joysticks matched to Raw Input (the replay's scripted joystick
    // reports through Report).
    void TakeInputFrom(InputFinder find) { find_ = std::move(find); }
    // `device` reported, as a WM_INPUT from it tells; from any thread.
    void Report(HANDLE device);

private:
    bool Register(bool on);
    void OnReport(HANDLE device);
    void OnDeviceChange(WPARAM change, HANDLE device);
    void Fire();

    MessageWindow window_;
    InputFinder find_;
    std::function<void()> wake_;
    std::vector<HANDLE> watched_;  // whose reports wake
    std::vector<HANDLE> present_;  // controllers there when the watch began
    bool registered_ = false;
    int refusedDevice_ = -1;  // the device last found unwatchable, and when
    DWORD refusedAt_ = 0;
};

// The Raw Input devices that may be winmm's joystick `device`: the HID game
// controllers of its vendor and product.
JoystickWatch::Input RawInputOf(int device);

}  // namespace gimbalo
