// What a form's host needs from the Windows platform.
#pragma once

#include <functional>

#include "platform/windows/dialog_windows.h"
#include "platform/windows/picture_store.h"
#include "platform/windows/timer_service.h"
#include "platform/windows/win32.h"

namespace gimbalo {

struct FormHostContext {
    HINSTANCE instance = nullptr;
    // Ticks the form's Timer controls; each tick goes to `dispatchTimer`
    // (the replay program wraps the polling tick with its script).
    TimerService& timers;
    TimerService::Dispatch dispatchTimer;
    // Pictures by handle: Image and PictureBox controls, the form's icon,
    // the hand pointer.
    PictureStore& pictures;
    // Where a window's Tab, arrow and Alt+letter keys are handled.
    DialogWindows& dialogs;
    // True once the program has ended: no more events reach the models.
    std::function<bool()> programEnded;
};

}  // namespace gimbalo
