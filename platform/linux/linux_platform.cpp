#include "platform/linux/linux_platform.h"

#include <SDL.h>

#include <QtGlobal>

#include "platform/linux/desktop_session.h"
#include "platform/linux/guardian_watch.h"
#include "platform/linux/instance_lock.h"
#include "platform/linux/joystick_news.h"
#include "platform/linux/message_boxes.h"
#include "platform/linux/picture_store.h"
#include "platform/linux/private_folders.h"
#include "platform/linux/qt_application.h"
#include "platform/linux/sdl_joysticks.h"
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

LinuxPlatform::LinuxPlatform()
    : instanceLock_(std::make_unique<InstanceLock>()),
      // Made now, read on first use: once Qt is up and the program folder
      // is known.
      pictures_(std::make_unique<PictureStore>([this] { return ProgramFolder() + "/pictures"; })),
      messageBoxes_(std::make_unique<MessageBoxes>()) {}

bool LinuxPlatform::Initialise(int& argc, char** argv, std::string& error,
                               const std::string& pointerWay) {
    const SessionFacts session = CurrentSession(pointerWay);
    const PointerChoice choice = ChoosePointerWay(session);
    if (!choice.error.empty()) {
        error = choice.error;
        return false;
    }
    X11Pointer* x11Pointer = nullptr;
    if (choice.way == PointerWay::XTest) {
        // The display comes first: without it Qt would abort the process.
        auto x11 = std::make_unique<X11Pointer>();
        if (!x11->Open(error)) return false;
        x11Pointer = x11.get();
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

    // Qt wants a runtime folder, and warns each time it has to make one.
    ProvideRuntimeFolder();
    auto application = std::make_unique<QtApplication>();
    if (!application->Start(argc, argv, error)) return false;
    application_ = std::move(application);
    // Only XTest's buttons need the guardian: the device on /dev/uinput lets
    // go of its own when it goes.
    if (x11Pointer != nullptr) guardianWatch_ = std::make_unique<GuardianWatch>(*x11Pointer);

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
    CloseDesktop();
    news_.reset();
    pictures_.reset();
    instanceLock_.reset();
    joysticks_.reset();
    if (sdlStarted_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    guardianWatch_.reset();
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

int LinuxPlatform::MessageBox(const std::string& text, uint32_t, const std::string& title) {
    return application_ ? messageBoxes_->Show(text, title, ExecutableName()) : 0;
}

bool LinuxPlatform::MessageSaidOnTerminal() const {
    return messageBoxes_->SaidOnTerminal();
}

int32_t LinuxPlatform::LoadPicture(const std::string& fileName) {
    return Pictures().Load(fileName);
}

bool LinuxPlatform::AnotherInstanceRunning() {
    return instanceLock_->AnotherInstanceRunning();
}

bool LinuxPlatform::WriteAutostart(const std::string& name, const std::string& executablePath) {
    return WriteXdgAutostart(name, executablePath);
}

bool LinuxPlatform::DeleteAutostart(const std::string& name) {
    return DeleteXdgAutostart(name);
}

}  // namespace gimbalo
