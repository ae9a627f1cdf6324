// Forms, timers and the message loop on Qt.
#include <QApplication>

#include "platform/linux/linux_platform.h"
#include "platform/linux/picture_store.h"
#include "platform/linux/qt_form_host.h"
#include "platform/linux/termination_signals.h"

namespace gimbalo {

std::unique_ptr<FormHost> LinuxPlatform::MakeHost(Form& form) {
    return std::make_unique<QtFormHost>(
        form, [this](Timer& timer) { timers_.Dispatch(timer); }, WindowResourcesFrom(Pictures()));
}

QtFormHost* LinuxPlatform::QtHostOf(const Form& form) const {
    return static_cast<QtFormHost*>(HostOf(form));
}

void LinuxPlatform::RunMessageLoop(const std::function<void()>& closeMainWindow) {
    if (ended_ || !application_) return;
    TerminationSignals termination([this, &closeMainWindow] { CloseRequested(closeMainWindow); });
    QApplication::exec();
}

void LinuxPlatform::EndProgram() {
    ended_ = true;
    // Leaves every running loop, a modal dialog's included.
    if (application_) QCoreApplication::exit(0);
}

bool LinuxPlatform::ProgramEnded() const {
    return ended_;
}

}  // namespace gimbalo
