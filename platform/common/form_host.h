// Follows one loaded form for a desktop backend: its Timer controls tick
// while they are enabled with an interval above 0, and from the first time
// the form is shown it has a window. A form that is never shown (the hidden
// main window) gets no window at all. When a timer is followed and a window
// made is decided here; how is the backend's.
#pragma once

#include "platform/forms.h"

namespace gimbalo {

class FormWindow;

class FormHost : private ModelObserver {
public:
    // Leaves the form without an observer. A backend's host stops the
    // timers and lets the window go first.
    ~FormHost() override;
    FormHost(const FormHost&) = delete;
    FormHost& operator=(const FormHost&) = delete;

    Form& Model() const { return form_; }

protected:
    explicit FormHost(Form& form) : form_(form) {}
    // Becomes the form's observer, follows its timers and makes the window
    // of a form shown already: a backend's host calls it last thing in its
    // constructor.
    void Attach();

    // Ticks `timer` at its interval from now on (a whole period from now),
    // or stops it while its interval is 0 or it is disabled.
    virtual void FollowTimer(Timer& timer) = 0;
    // The form's window, nullptr while it has none.
    virtual FormWindow* ExistingWindow() const = 0;
    // Makes the form's window, as the models stand now; nullptr when the
    // desktop refused it.
    virtual FormWindow* MakeWindow() = 0;

private:
    void ControlChanged(Control& control, Property what) override;
    void FormChanged(Form& form, Property what) override;
    void MenuItemChanged(MenuItem& item, Property what) override;

    Form& form_;
};

}  // namespace gimbalo
