// Follows one loaded form on the desktop. For now that means its timers: one
// precise Qt timer per Timer control, running while the control's interval is
// above 0. Widgets for visible forms come with the forms work.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "platform/forms.h"

class QTimer;

namespace gimbalo {

class FormHost : private ModelObserver {
public:
    using TimerDispatch = std::function<void(Timer&)>;

    // Becomes the form's observer and starts its running timers; each tick
    // goes to `dispatch`.
    FormHost(Form& form, TimerDispatch dispatch);
    // Stops the timers and leaves the form without an observer.
    ~FormHost() override;
    FormHost(const FormHost&) = delete;
    FormHost& operator=(const FormHost&) = delete;

private:
    void ControlChanged(Control& control, Property what) override;
    void FormChanged(Form& form, Property what) override;
    void MenuItemChanged(MenuItem& item, Property what) override;
    void FollowTimer(Timer& timer);

    Form& form_;
    TimerDispatch dispatch_;
    std::map<Timer*, std::unique_ptr<QTimer>> timers_;
};

}  // namespace gimbalo
