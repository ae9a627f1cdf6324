#include "platform/linux/qt_form_host.h"

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

QtFormHost::QtFormHost(Form& form, TimerDispatch dispatch, WindowResources resources)
    : FormHost(form), dispatch_(std::move(dispatch)), resources_(std::move(resources)) {
    Attach();
}

QtFormHost::~QtFormHost() {
    for (auto& [timer, qtimer] : timers_) qtimer->stop();
    if (window_) window_->Detach();
}

FormWindow* QtFormHost::MakeWindow() {
    window_ = new QtFormWindow(Model(), resources_);
    return window_;
}

void QtFormHost::FollowTimer(Timer& timer) {
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
