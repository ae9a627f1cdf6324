// Follows one loaded form on Qt: a precise Qt timer per Timer control and,
// once the form is shown, its window with a native widget per control.
#pragma once

#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "platform/common/form_host.h"
#include "platform/linux/qt_form_window.h"

class QTimer;

namespace gimbalo {

class PictureStore;

// Pictures by handle from `pictures`, and the shipped pointing hand (Qt's
// own when the picture is missing).
WindowResources WindowResourcesFrom(PictureStore& pictures);

class QtFormHost : public FormHost {
public:
    using TimerDispatch = std::function<void(Timer&)>;

    // Becomes the form's observer and starts its running timers; each tick
    // goes to `dispatch`. The window, when the form is shown, takes its
    // pictures and pointer from `resources`.
    QtFormHost(Form& form, TimerDispatch dispatch, WindowResources resources);
    // Stops the timers and lets the window go.
    ~QtFormHost() override;

    // The form's window, nullptr until the form is first shown.
    QtFormWindow* Window() const { return window_; }

private:
    void FollowTimer(Timer& timer) override;
    FormWindow* ExistingWindow() const override { return window_; }
    FormWindow* MakeWindow() override;

    TimerDispatch dispatch_;
    WindowResources resources_;
    std::map<Timer*, std::unique_ptr<QTimer>> timers_;
    QPointer<QtFormWindow> window_;
};

}  // namespace gimbalo
