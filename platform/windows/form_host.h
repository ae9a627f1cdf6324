// Follows one loaded form on Windows: its Timer controls tick through the
// platform's timer service while their interval is above 0.
#pragma once

#include "platform/forms.h"
#include "platform/windows/form_host_context.h"

namespace gimbalo {

class WindowsFormHost : private ModelObserver {
public:
    // Becomes the form's observer and starts its running timers.
    WindowsFormHost(Form& form, FormHostContext context);
    // Stops the timers and leaves the form without an observer.
    ~WindowsFormHost() override;
    WindowsFormHost(const WindowsFormHost&) = delete;
    WindowsFormHost& operator=(const WindowsFormHost&) = delete;

    // The form's window, nullptr while it has none (the hidden main window
    // never has one).
    HWND Window() const { return nullptr; }

private:
    void ControlChanged(Control& control, Property what) override;
    void FormChanged(Form& form, Property what) override;
    void MenuItemChanged(MenuItem& item, Property what) override;

    Form& form_;
    FormHostContext context_;
};

}  // namespace gimbalo
