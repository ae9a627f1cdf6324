#include "platform/windows/joystick_watch.h"

#include <algorithm>

namespace gimbalo {

namespace {

// Work of the replay's scripted joystick: a report from the device in wParam.
constexpr UINT kReportMessage = WM_APP + 4;
// The HID usages of game controllers (usage page 1, generic desktop).
constexpr USHORT kGenericDesktop = 0x01;
constexpr USHORT kControllerUsages[] = {0x04, 0x05, 0x08};  // joystick, gamepad, multi-axis
// How long a joystick that matched no Raw Input device is taken as such.
constexpr DWORD kRefusalKept = 1000;

bool IsGameController(const RID_DEVICE_INFO& info) {
    return info.dwType == RIM_TYPEHID && info.hid.usUsagePage == kGenericDesktop &&
           std::find(std::begin(kControllerUsages), std::end(kControllerUsages),
                     info.hid.usUsage) != std::end(kControllerUsages);
}

// The HID game controllers present now, with what each says of itself.
std::vector<std::pair<HANDLE, RID_DEVICE_INFO>> GameControllers() {
    std::vector<std::pair<HANDLE, RID_DEVICE_INFO>> found;
    UINT count = 0;
    if (GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)) != 0) return found;
    std::vector<RAWINPUTDEVICELIST> list(count);
    const UINT got = GetRawInputDeviceList(list.data(), &count, sizeof(RAWINPUTDEVICELIST));
    if (got == static_cast<UINT>(-1)) return found;  // one came meanwhile: none this time
    for (UINT i = 0; i < got; ++i) {
        if (list[i].dwType != RIM_TYPEHID) continue;
        RID_DEVICE_INFO info{};
        info.cbSize = sizeof info;
        UINT size = sizeof info;
        if (GetRawInputDeviceInfoW(list[i].hDevice, RIDI_DEVICEINFO, &info, &size) ==
                static_cast<UINT>(-1) ||
            !IsGameController(info))
            continue;
        found.emplace_back(list[i].hDevice, info);
    }
    return found;
}

}  // namespace

JoystickWatch::Input RawInputOf(int device) {
    if (device < 0) return {JoystickWatch::Input::Kind::Absent, {}};
    ::JOYINFOEX reading{};
    reading.dwSize = sizeof reading;
    reading.dwFlags = JOY_RETURNALL;
    if (static_cast<UINT>(device) >= joyGetNumDevs() ||
        ::joyGetPosEx(static_cast<UINT>(device), &reading) != MMSYSERR_NOERROR)
        return {JoystickWatch::Input::Kind::Absent, {}};
    JOYCAPSW caps{};
    if (joyGetDevCapsW(static_cast<UINT_PTR>(device), &caps, sizeof caps) != MMSYSERR_NOERROR)
        return {};
    JoystickWatch::Input input{JoystickWatch::Input::Kind::Devices, {}};
    // Two of the same make are both watched: either may be this one.
    for (const auto& [handle, info] : GameControllers())
        if (info.hid.dwVendorId == caps.wMid && info.hid.dwProductId == caps.wPid)
            input.devices.push_back(handle);
    if (input.devices.empty()) return {};
    return input;
}

JoystickWatch::JoystickWatch(HINSTANCE instance)
    : window_(instance, MessageWindow::Kind::MessageOnly) {
    window_.On(WM_INPUT, [this](WPARAM wParam, LPARAM lParam) -> LRESULT {
        RAWINPUTHEADER header{};
        UINT size = sizeof header;
        if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_HEADER, &header, &size,
                            sizeof header) != static_cast<UINT>(-1))
            OnReport(header.hDevice);
        // Lets the system free the input.
        return DefWindowProcW(window_.Handle(), WM_INPUT, wParam, lParam);
    });
    window_.On(WM_INPUT_DEVICE_CHANGE, [this](WPARAM change, LPARAM device) -> LRESULT {
        OnDeviceChange(change, reinterpret_cast<HANDLE>(device));
        return 0;
    });
    window_.On(kReportMessage, [this](WPARAM device, LPARAM) -> LRESULT {
        OnReport(reinterpret_cast<HANDLE>(device));
        return 0;
    });
}

JoystickWatch::~JoystickWatch() {
    Stop();
}

bool JoystickWatch::Register(bool on) {
    if (on == registered_) return true;
    RAWINPUTDEVICE usages[std::size(kControllerUsages)];
    for (std::size_t i = 0; i < std::size(usages); ++i) {
        usages[i].usUsagePage = kGenericDesktop;
        usages[i].usUsage = kControllerUsages[i];
        usages[i].dwFlags = on ? RIDEV_INPUTSINK | RIDEV_DEVNOTIFY : RIDEV_REMOVE;
        usages[i].hwndTarget = on ? window_.Handle() : nullptr;
    }
    const bool done = RegisterRawInputDevices(usages, static_cast<UINT>(std::size(usages)),
                                              sizeof(RAWINPUTDEVICE)) != FALSE;
    if (done) registered_ = on;
    return done;
}

bool JoystickWatch::Watch(int device, std::function<void()> wake) {
    Stop();
    if (window_.Handle() == nullptr) return false;
    // The program asks again at every tick at rest; a joystick that could
    // not be matched is looked for again a second later, not 200 times.
    const DWORD now = GetTickCount();
    if (!find_ && device == refusedDevice_ && now - refusedAt_ < kRefusalKept) return false;
    Input input = find_ ? find_(device) : RawInputOf(device);
    if (input.kind == Input::Kind::Unwatchable) {
        refusedDevice_ = device;
        refusedAt_ = now;
        return false;
    }
    refusedDevice_ = -1;
    // Taken before the registration, which announces every controller there
    // as arriving: those are no news, and one that comes in between is.
    present_.clear();
    for (const auto& controller : GameControllers()) present_.push_back(controller.first);
    // Without the announcements a controller coming would go unseen.
    if (!Register(true)) return false;
    watched_ = std::move(input.devices);
    wake_ = std::move(wake);
    return true;
}

void JoystickWatch::Stop() {
    wake_ = nullptr;
    watched_.clear();
    Register(false);
}

void JoystickWatch::Report(HANDLE device) {
    PostMessageW(window_.Handle(), kReportMessage, reinterpret_cast<WPARAM>(device), 0);
}

void JoystickWatch::OnReport(HANDLE device) {
    if (std::find(watched_.begin(), watched_.end(), device) != watched_.end()) Fire();
}

void JoystickWatch::OnDeviceChange(WPARAM change, HANDLE device) {
    // A controller that goes may be the one read; its handle no longer says
    // what it was.
    if (change == GIDC_ARRIVAL &&
        std::find(present_.begin(), present_.end(), device) != present_.end())
        return;
    Fire();
}

void JoystickWatch::Fire() {
    if (!wake_) return;
    const std::function<void()> wake = std::move(wake_);
    Stop();
    wake();
}

}  // namespace gimbalo
