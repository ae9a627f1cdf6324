#include "platform/linux/form_host.h"

#include <QTimer>

#include "platform/common/picture_files.h"
#include "platform/linux/picture_store.h"

namespace gimbalo {

WindowResources WindowResourcesFrom(PictureStore& pictures) {
    WindowResources resources;
    resources.picture = [&pictures](int32_t handle) { return pictures.Pixmap(handle); };
    const QPixmap hand = pictures.Pixmap(pictures.Load(kHandPointerPicture));
    if (!hand.isNull()) resources.hand = QCursor(hand, kHandHotSpotX, kHandHotSpotY);
    return resources;
}

FormHost::FormHost(Form& form, TimerDispatch dispatch, WindowResources resources)
    : form_(form), dispatch_(std::move(dispatch)), resources_(std::move(resources)) {
    form_.SetObserver(this);
    for (Control* control : form_.Controls())
        if (control->Kind() == ControlKind::Timer) FollowTimer(static_cast<Timer&>(*control));
    if (form_.Visible()) FormChanged(form_, Property::Visible);
}

FormHost::~FormHost() {
    for (auto& [timer, qtimer] : timers_) qtimer->stop();
    if (window_) window_->Detach();
    if (form_.Observer() == this) form_.SetObserver(nullptr);
}

void FormHost::ControlChanged(Control& control, Property what) {
    if ((what == Property::Interval || what == Property::Enabled) &&
        control.Kind() == ControlKind::Timer)
        FollowTimer(static_cast<Timer&>(control));
    else if (window_)
        window_->ControlChanged(control, what);
}

void FormHost::FormChanged(Form&, Property what) {
    // The window is made from the models as they stand when it is first
    // needed; until then there is nothing to update.
    if (!window_ && what == Property::Visible && form_.Visible())
        window_ = new QtFormWindow(form_, resources_);
    if (window_) window_->FormChanged(what);
}

// Menus are built from their models each time they are shown.
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
    if (timer.Interval() > 0 && timer.Enabled())
        qtimer->start(timer.Interval());  // restarts: a whole period from now
    else
        qtimer->stop();
}

}  // namespace gimbalo
