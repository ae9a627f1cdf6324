// Follows one loaded form on the desktop: a precise Qt timer per Timer
// control, running while it is enabled with an interval above 0, and, from the first time
// the form is shown, its window with a native widget per control. A form
// that is never shown (the hidden main window) gets no window at all.
#pragma once

#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "platform/forms.h"
#include "platform/linux/qt_form_window.h"

class QTimer;

namespace gimbalo {

class PictureStore;

// Pictures by handle from `pictures`, and the shipped pointing hand (Qt's
// own when the picture is missing).
WindowResources WindowResourcesFrom(PictureStore& pictures);

class FormHost : private ModelObserver {
public:
    using TimerDispatch = std::function<void(Timer&)>;

    // Becomes the form's observer and starts its running timers; each tick
    // goes to `dispatch`. The window, when the form is shown, takes its
    // pictures and pointer from `resources`.
    FormHost(Form& form, TimerDispatch dispatch, WindowResources resources);
    // Stops the timers, lets the window go and leaves the form without an
    // observer.
    ~FormHost() override;
    FormHost(const FormHost&) = delete;
    FormHost& operator=(const FormHost&) = delete;

    // The form's window, nullptr until the form is first shown.
    QtFormWindow* Window() const { return window_; }

private:
    void ControlChanged(Control& control, Property what) override;
    void FormChanged(Form& form, Property what) override;
    void MenuItemChanged(MenuItem& item, Property what) override;
    void FollowTimer(Timer& timer);

    Form& form_;
    TimerDispatch dispatch_;
    WindowResources resources_;
    std::map<Timer*, std::unique_ptr<QTimer>> timers_;
    QPointer<QtFormWindow> window_;
};

}  // namespace gimbalo
