#include "platform/linux/linux_platform.h"

#include <SDL.h>

#include <QApplication>
#include <QLockFile>

#include "platform/linux/desktop_session.h"
#include "platform/linux/form_accessibility.h"
#include "platform/linux/form_host.h"
#include "platform/linux/joystick_news.h"
#include "platform/linux/picture_store.h"
#include "platform/linux/sdl_joysticks.h"
#include "platform/linux/tray_icons.h"
#include "platform/linux/uinput_pointer.h"
#include "platform/linux/x11_pointer.h"
#include "platform/linux/xdg_autostart.h"

namespace gimbalo {

std::unique_ptr<LinuxPlatform> LinuxPlatform::Create(int& argc, char** argv, std::string& error,
                                                     const std::string& pointerWay) {
    std::unique_ptr<LinuxPlatform> platform(new LinuxPlatform());
    if (!platform->Initialise(argc, argv, error, pointerWay)) return nullptr;
    return platform;
}

LinuxPlatform::LinuxPlatform() = default;

bool LinuxPlatform::Initialise(int& argc, char** argv, std::string& error,
                               const std::string& pointerWay) {
    const SessionFacts session = CurrentSession(pointerWay);
    const PointerChoice choice = ChoosePointerWay(session);
    if (!choice.error.empty()) {
        error = choice.error;
        return false;
    }
    if (choice.way == PointerWay::XTest) {
        // The display comes first: without it Qt would abort the process.
        auto x11 = std::make_unique<X11Pointer>();
        if (!x11->Open(error)) return false;
        pointer_ = std::move(x11);
        // XTest drives the pointer, so the windows must be on the same X server.
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        if (!DesktopReachable(session)) {
            error = "gimbalo: cannot reach the desktop; is WAYLAND_DISPLAY or DISPLAY set?";
            return false;
        }
        // A device that cannot be made yet leaves the pointer still; the
        // program tells the user why (PointerState).
        pointer_ = std::make_unique<UinputPointer>();
        // Wayland's own windows on a Wayland session, whatever order a Qt
        // build tries its plugins in; X11's where Qt has no Wayland plugin.
        if (IsWaylandSession(session) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "wayland;xcb");
    }

    for (int i = 0; i < argc && argv != nullptr && argv[i] != nullptr; ++i)
        arguments_.emplace_back(argv[i]);
    if (arguments_.empty()) arguments_.emplace_back("gimbalo");
    for (std::string& argument : arguments_) argv_.push_back(argument.data());
    argv_.push_back(nullptr);
    argc_ = static_cast<int>(arguments_.size());

    // Qt allows one application object per process.
    if (QCoreApplication::instance() != nullptr) {
        error = "gimbalo: the desktop is already opened in this process";
        return false;
    }
    application_ = std::make_unique<QApplication>(argc_, argv_.data());
    QApplication::setQuitOnLastWindowClosed(false);
    InstallFormAccessibility();

    // SDL would take SIGINT and SIGTERM for its own event queue, which nobody
    // reads here: a termination request would then be lost.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        error = std::string("gimbalo: cannot start the joystick support: ") + SDL_GetError();
        return false;
    }
    sdlStarted_ = true;
    // Readings are polled; an event queue nobody reads would only fill up.
    SDL_JoystickEventState(SDL_IGNORE);
    joysticks_ = std::make_unique<SdlJoysticks>();
    news_ = std::make_unique<JoystickNews>(*joysticks_);
    return true;
}

LinuxPlatform::~LinuxPlatform() {
    // Buttons first: no way out of the program leaves one held down.
    if (pointer_) pointer_->ReleaseHeldButtons();
    hosts_.clear();
    news_.reset();
    tray_.reset();
    pictures_.reset();
    instanceLock_.reset();
    joysticks_.reset();
    if (sdlStarted_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    // Form windows and tray icons go through deleteLater; with no event loop
    // left to run, this is their last chance before Qt itself ends.
    if (application_) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (application_) RemoveFormAccessibility();
    application_.reset();
    pointer_.reset();
}

bool LinuxPlatform::GetCursorPos(POINT& point) {
    return pointer_ ? pointer_->GetCursorPos(point) : false;
}

bool LinuxPlatform::SetCursorPos(int32_t x, int32_t y) {
    return pointer_ ? pointer_->SetCursorPos(x, y) : false;
}

bool LinuxPlatform::MoveCursorBy(int32_t dx, int32_t dy) {
    return pointer_ ? pointer_->MoveCursorBy(dx, dy) : false;
}

void LinuxPlatform::mouse_event(uint32_t flags, uint32_t, uint32_t, uint32_t, uintptr_t) {
    if (pointer_) pointer_->SendButtons(flags);
}

uint32_t LinuxPlatform::PointerState() {
    return pointer_ ? pointer_->State() : POINTER_READY;
}

bool LinuxPlatform::WriteAutostart(const std::string& name, const std::string& executablePath) {
    return WriteXdgAutostart(name, executablePath);
}

bool LinuxPlatform::DeleteAutostart(const std::string& name) {
    return DeleteXdgAutostart(name);
}

}  // namespace gimbalo
