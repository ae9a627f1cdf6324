#include "replay/linux/scripted_joysticks.h"

#include <SDL.h>

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>

#include "platform/linux/joystick_news.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/sdl_joysticks.h"

namespace gimbalo {

namespace {

// A reading as the program sees it (0..65535) becomes an SDL axis value.
Sint16 AxisValue(uint32_t reading) {
    return static_cast<Sint16>(static_cast<int32_t>(reading) - 32768);
}

}  // namespace

ScriptedJoysticks::ScriptedJoysticks(LinuxPlatform& desktop) : desktop_(desktop) {}

std::unique_ptr<ScriptedJoysticks> ScriptedJoysticks::Attach(LinuxPlatform& desktop,
                                                             const Script& script,
                                                             std::string& error) {
    std::unique_ptr<ScriptedJoysticks> scripted(new ScriptedJoysticks(desktop));
    // Device 0 is the script's: it reports whenever a step of the script is
    // due, also once unplugged, so a quit or a menu command still comes; and
    // whenever its readings change, as an evdev node does.
    desktop.News()->TakeInputFrom([raw = scripted.get()](int device) {
        if (device != 0 || raw->reportRead_ < 0)
            return JoystickNews::Input{JoystickNews::Input::Kind::Unwatchable, -1};
        return JoystickNews::Input{JoystickNews::Input::Kind::Node, raw->reportRead_, true};
    });
    for (const ScriptJoystick& declared : script.joysticks) {
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
            return nullptr;
        }
        // Held open so the script can set its readings.
        scripted->joysticks_.push_back({SDL_JoystickInstanceID(handle), handle, declared.buttons});
    }
    int ends[2];
    if (!scripted->joysticks_.empty() && pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
        scripted->reportRead_ = ends[0];
        scripted->reportWrite_ = ends[1];
    }
    scripted->report_ = std::make_unique<QTimer>();
    scripted->report_->setSingleShot(true);
    scripted->report_->setTimerType(Qt::PreciseTimer);
    QObject::connect(scripted->report_.get(), &QTimer::timeout, [raw = scripted.get()] {
        if (raw->reported_) raw->reported_();
        raw->Report();
    });
    return scripted;
}

ScriptedJoysticks::~ScriptedJoysticks() {
    report_.reset();
    for (VirtualJoystick& joystick : joysticks_)
        if (joystick.handle != nullptr) SDL_JoystickClose(joystick.handle);
    if (reportRead_ >= 0) {
        desktop_.StopWatchingJoystick();
        desktop_.News()->ForgetInput(reportRead_);
        close(reportRead_);
    }
    if (reportWrite_ >= 0) close(reportWrite_);
    desktop_.News()->TakeInputFrom(nullptr);
}

int ScriptedJoysticks::SdlIndex(int device) const {
    if (device < 0 || static_cast<std::size_t>(device) >= joysticks_.size()) return -1;
    const VirtualJoystick& joystick = joysticks_[static_cast<std::size_t>(device)];
    if (joystick.handle == nullptr) return -1;
    // Real joysticks, and devices that went away, shift SDL's indices.
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == joystick.instance) return index;
    return -1;
}

int ScriptedJoysticks::DesktopDevice(int device) const {
    if (device < 0 || static_cast<std::size_t>(device) >= joysticks_.size()) return -1;
    const VirtualJoystick& joystick = joysticks_[static_cast<std::size_t>(device)];
    // A scripted joystick goes only when the script unplugs it. Real
    // joysticks, and devices that went away, may hold other numbers.
    if (joystick.handle == nullptr || desktop_.Joysticks() == nullptr) return -1;
    return desktop_.Joysticks()->DeviceOf(joystick.instance);
}

uint32_t ScriptedJoysticks::joyGetPosEx(int device, JOYINFOEX& info) {
    const int desktop = DesktopDevice(device);
    return desktop < 0 ? JOYERR_UNPLUGGED : desktop_.joyGetPosEx(desktop, info);
}

uint32_t ScriptedJoysticks::joyGetDevCapsA(int device, JOYCAPS& caps) {
    const int desktop = DesktopDevice(device);
    return desktop < 0 ? JOYERR_UNPLUGGED : desktop_.joyGetDevCapsA(desktop, caps);
}

void ScriptedJoysticks::SetReading(const StickReading& reading) {
    if (joysticks_.empty() || joysticks_.front().handle == nullptr) return;
    VirtualJoystick& joystick = joysticks_.front();
    Report();
    SDL_JoystickSetVirtualAxis(joystick.handle, 0, AxisValue(reading.x));
    SDL_JoystickSetVirtualAxis(joystick.handle, 1, AxisValue(reading.y));
    for (int button = 0; button < joystick.buttons && button < kScriptMaxButtons; ++button)
        SDL_JoystickSetVirtualButton(joystick.handle, button,
                                     (reading.buttons >> button) & 1u ? SDL_PRESSED : SDL_RELEASED);
}

void ScriptedJoysticks::Unplug() {
    const int index = SdlIndex(0);
    if (index < 0) return;
    Report();
    VirtualJoystick& joystick = joysticks_.front();
    SDL_JoystickClose(joystick.handle);
    joystick.handle = nullptr;
    SDL_JoystickDetachVirtual(index);
}

void ScriptedJoysticks::Report() {
    // Any byte will do: it makes the descriptor readable, as a report does.
    if (reportWrite_ >= 0) (void)!write(reportWrite_, "r", 1);
}

void ScriptedJoysticks::ReportInputIn(int milliseconds, std::function<void()> reported) {
    reported_ = std::move(reported);
    report_->start(milliseconds);
}

void ScriptedJoysticks::CancelInputReport() {
    report_->stop();
}

void ScriptedJoysticks::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

}  // namespace gimbalo
