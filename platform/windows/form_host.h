// Follows one loaded form on Windows: its Timer controls tick through the
// platform's timer service while their interval is above 0, and, from the
// first time the form is shown, its window with a native window per
// control. A form that is never shown (the hidden main window) gets no
// window at all.
#pragma once

#include "platform/forms.h"
#include "platform/windows/form_host_context.h"

namespace gimbalo {

class Win32FormWindow;

class WindowsFormHost : private ModelObserver {
public:
    // Becomes the form's observer and starts its running timers.
    WindowsFormHost(Form& form, FormHostContext context);
    // Stops the timers, lets the window go and leaves the form without an
    // observer.
    ~WindowsFormHost() override;
    WindowsFormHost(const WindowsFormHost&) = delete;
    WindowsFormHost& operator=(const WindowsFormHost&) = delete;

    // The form's window, nullptr while it has none.
    HWND Window() const;
    // The window of one of the form's controls, nullptr while it has none.
    HWND WindowOf(const Control& control) const;

private:
    void ControlChanged(Control& control, Property what) override;
    void FormChanged(Form& form, Property what) override;
    void MenuItemChanged(MenuItem& item, Property what) override;

    Form& form_;
    FormHostContext context_;
    Win32FormWindow* window_ = nullptr;
};

}  // namespace gimbalo
