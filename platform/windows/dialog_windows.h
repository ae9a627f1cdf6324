// Windows whose keyboard navigation the message loop hands to
// IsDialogMessage: Tab and Shift+Tab between controls, the arrow keys, and
// Alt+letter for the control whose caption marks that letter.
#pragma once

#include "platform/windows/win32.h"

namespace gimbalo {

class DialogWindows {
public:
    virtual ~DialogWindows() = default;
    virtual void AddDialogWindow(HWND window) = 0;
    // Safe while the loop is inside one of the window's own messages.
    virtual void RemoveDialogWindow(HWND window) = 0;
};

}  // namespace gimbalo
