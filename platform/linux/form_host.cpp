#include "platform/linux/form_host.h"

#include <QTimer>

namespace gimbalo {

FormHost::FormHost(Form& form, TimerDispatch dispatch)
    : form_(form), dispatch_(std::move(dispatch)) {
    form_.SetObserver(this);
    for (Control* control : form_.Controls())
        if (control->Kind() == ControlKind::Timer) FollowTimer(static_cast<Timer&>(*control));
}

FormHost::~FormHost() {
    for (auto& [timer, qtimer] : timers_) qtimer->stop();
    if (form_.Observer() == this) form_.SetObserver(nullptr);
}

void FormHost::ControlChanged(Control& control, Property what) {
    if (what == Property::Interval && control.Kind() == ControlKind::Timer)
        FollowTimer(static_cast<Timer&>(control));
}

void FormHost::FormChanged(Form&, Property) {}

void FormHost::MenuItemChanged(MenuItem&, Property) {}

void FormHost::FollowTimer(Timer& timer) {
    std::unique_ptr<QTimer>& qtimer = timers_[&timer];
    if (!qtimer) {
        qtimer = std::make_unique<QTimer>();
        qtimer->setTimerType(Qt::PreciseTimer);
        // The slot keeps its own copy of the dispatch: a tick that unloads the
        // form destroys this host, and Qt keeps a running slot alive.
        QObject::connect(qtimer.get(), &QTimer::timeout,
                         [dispatch = dispatch_, model = &timer] { dispatch(*model); });
    }
    if (timer.Interval() > 0)
        qtimer->start(timer.Interval());  // restarts with the new interval
    else
        qtimer->stop();
}

}  // namespace gimbalo
