// A form's window on a desktop, as the form's host drives it. Which change of
// the form's model a window shows, and how, is decided here once; each
// desktop's window says how it shows a caption, the form shown or hidden,
// its icon, and the form coming to the front.
#pragma once

#include "platform/forms.h"

namespace gimbalo {

class FormWindow {
public:
    FormWindow() = default;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Pushes a change of a control's model into its native control.
    virtual void ControlChanged(Control& control, Property what) = 0;
    // Pushes a change of the form's model into the window; nothing once the
    // window has let go of its form.
    void FormChanged(Property what);
    // Lets go of the form: nothing reaches the model any more, the window
    // hides, and it goes once none of its own handlers runs (the form may be
    // unloaded from one of them, or while a modal dialog runs).
    virtual void Detach() = 0;

protected:
    ~FormWindow() = default;

    virtual bool Detached() const = 0;
    virtual void ShowCaption() = 0;
    // Shows or hides the window as the form is.
    virtual void ShowVisibility() = 0;
    virtual void ShowIcon() = 0;
    // The form, shown already, was shown again: the window comes to the
    // front and takes the keyboard focus.
    virtual void BringToFront() = 0;
};

}  // namespace gimbalo
