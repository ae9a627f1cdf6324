#include "platform/windows/windows_platform.h"

// After win32.h.
#include <objbase.h>

#include <cstddef>

#include "platform/windows/instance_lock.h"
#include "platform/windows/joystick_watch.h"
#include "platform/windows/picture_store.h"
#include "platform/windows/settings_folder.h"
#include "platform/windows/ui_thread_loop.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win32_form_host.h"
#include "platform/windows/windows_pointer.h"

namespace gimbalo {

// The records winmm fills, as the program reads them.
static_assert(sizeof(::JOYINFOEX) == 52);
static_assert(offsetof(::JOYCAPSA, szPname) == 4 && offsetof(::JOYCAPSA, wNumButtons) == 60 &&
              offsetof(::JOYCAPSA, wPeriodMax) + sizeof(UINT) == 72);

std::unique_ptr<WindowsPlatform> WindowsPlatform::Create(HINSTANCE instance, std::string& error) {
    std::unique_ptr<WindowsPlatform> platform(new WindowsPlatform(instance));
    if (!platform->Initialise(error)) return nullptr;
    return platform;
}

WindowsPlatform::WindowsPlatform(HINSTANCE instance)
    : instance_(instance),
      instanceLock_(std::make_unique<InstanceLock>()),
      settingsFolder_(std::make_unique<SettingsFolderChoice>()) {}

bool WindowsPlatform::Initialise(std::string& error) {
    // Pictures (WIC) and the shell's calls want COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comStarted_ = SUCCEEDED(com);
    pointer_ = std::make_unique<WindowsPointer>();
    loop_ = std::make_unique<UiThreadLoop>(instance_);
    if (loop_->Window().Handle() == nullptr) {
        error = "Gimbalo: cannot create its window (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    watch_ = std::make_unique<JoystickWatch>(instance_);
    return true;
}

WindowsPlatform::~WindowsPlatform() {
    // Buttons first: no way out of the program leaves one held down.
    if (pointer_) pointer_->ReleaseHeldButtons();
    CloseDesktop();
    pictures_.reset();
    watch_.reset();
    loop_.reset();
    instanceLock_.reset();
    pointer_.reset();
    if (comStarted_) CoUninitialize();
}

uint32_t WindowsPlatform::joyGetPosEx(int device, JOYINFOEX& info) {
    if (device < 0 || static_cast<UINT>(device) >= joyGetNumDevs()) return JOYERR_PARMS;
    ::JOYINFOEX native{};
    native.dwSize = sizeof native;
    native.dwFlags = info.dwFlags != 0 ? info.dwFlags : JOY_RETURNALL;
    const MMRESULT result = ::joyGetPosEx(static_cast<UINT>(device), &native);
    if (result != JOYERR_NOERROR) return result;
    info.dwXpos = native.dwXpos;
    info.dwYpos = native.dwYpos;
    info.dwZpos = native.dwZpos;
    info.dwRpos = native.dwRpos;
    info.dwUpos = native.dwUpos;
    info.dwVpos = native.dwVpos;
    info.dwButtons = native.dwButtons;
    info.dwButtonNumber = native.dwButtonNumber;
    info.dwPOV = native.dwPOV;
    return JOYERR_NOERROR;
}

uint32_t WindowsPlatform::joyGetDevCapsA(int device, JOYCAPS& caps) {
    if (device < 0 || static_cast<UINT>(device) >= joyGetNumDevs()) return JOYERR_PARMS;
    // The wide record, so a name beyond ASCII reaches the program's text
    // intact; the program reads the name and the number of buttons.
    JOYCAPSW native{};
    const MMRESULT result = joyGetDevCapsW(static_cast<UINT_PTR>(device), &native, sizeof native);
    if (result != JOYERR_NOERROR) return result;
    std::size_t length = 0;
    while (length < std::size(native.szPname) && native.szPname[length] != L'\0') ++length;
    caps.wMid = native.wMid;
    caps.wPid = native.wPid;
    caps.szPname = Utf8(std::wstring_view(native.szPname, length));
    caps.wNumButtons = native.wNumButtons;
    return JOYERR_NOERROR;
}

bool WindowsPlatform::WatchJoystick(int device, std::function<void()> wake) {
    return watch_ && !ended_ && watch_->Watch(device, std::move(wake));
}

void WindowsPlatform::StopWatchingJoystick() {
    if (watch_) watch_->Stop();
}

bool WindowsPlatform::GetCursorPos(POINT& point) {
    return pointer_ && pointer_->GetCursorPos(point);
}

bool WindowsPlatform::SetCursorPos(int32_t x, int32_t y) {
    return pointer_ && pointer_->SetCursorPos(x, y);
}

void WindowsPlatform::mouse_event(uint32_t flags, uint32_t, uint32_t, uint32_t, uintptr_t) {
    if (pointer_) pointer_->SendButtons(flags);
}

PictureStore& WindowsPlatform::Pictures() {
    if (!pictures_) pictures_ = std::make_unique<PictureStore>(ProgramFolder() + "\\pictures");
    return *pictures_;
}

int32_t WindowsPlatform::LoadPicture(const std::string& fileName) {
    return Pictures().Load(fileName);
}

Win32FormHost* WindowsPlatform::HostOf(const Form& form) const {
    return static_cast<Win32FormHost*>(DesktopPlatform::HostOf(form));
}

bool WindowsPlatform::AnotherInstanceRunning() {
    return instanceLock_->AnotherInstanceRunning();
}

HWND WindowsPlatform::OwnerWindow(const Form* form) const {
    if (form != nullptr)
        if (const Win32FormHost* host = HostOf(*form))
            if (HWND window = host->Window(); window != nullptr && IsWindowVisible(window))
                return window;
    // The hidden window: dialogs of a form without a window on the screen
    // (the main window) still have an owner to be modal to.
    return loop_ ? loop_->Window().Handle() : nullptr;
}

}  // namespace gimbalo
