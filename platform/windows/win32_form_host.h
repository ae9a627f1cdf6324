// Follows one loaded form on Windows: its Timer controls tick through the
// platform's timer service and, once the form is shown, it has a window
// with a native window per control.
#pragma once

#include "platform/common/form_host.h"
#include "platform/windows/win32_form_host_context.h"

namespace gimbalo {

class Win32FormWindow;

class Win32FormHost : public FormHost {
public:
    // Becomes the form's observer and starts its running timers.
    Win32FormHost(Form& form, FormHostContext context);
    // Stops the timers and lets the window go.
    ~Win32FormHost() override;

    // The form's window, nullptr while it has none.
    HWND Window() const;
    // The window of one of the form's controls, nullptr while it has none.
    HWND WindowOf(const Control& control) const;

private:
    void FollowTimer(Timer& timer) override;
    FormWindow* ExistingWindow() const override;
    FormWindow* MakeWindow() override;

    FormHostContext context_;
    Win32FormWindow* window_ = nullptr;
};

}  // namespace gimbalo
