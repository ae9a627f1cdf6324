// Forms, timers and the message loop on Qt.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "platform/linux/form_host.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/picture_store.h"
#include "platform/linux/qt_text.h"
#include "platform/linux/termination_signals.h"
#include "platform/linux/tray_icons.h"

namespace gimbalo {

namespace {
constexpr int IDOK = 1;

// The text in one line: each run of line breaks becomes one blank, and
// blanks at either end go.
std::string LinesJoinedByBlanks(const std::string& text) {
    std::string line;
    bool pendingBlank = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            pendingBlank = true;
            continue;
        }
        if (pendingBlank && !line.empty() && line.back() != ' ') line += ' ';
        pendingBlank = false;
        line += c;
    }
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}
}  // namespace

void LinuxPlatform::LoadForm(Form& form) {
    if (hosts_.count(&form) > 0) return;
    hosts_[&form] = std::make_unique<FormHost>(
        form, [this](Timer& timer) { timers_.Dispatch(timer); }, WindowResourcesFrom(Pictures()));
}

void LinuxPlatform::UnloadForm(Form& form) {
    hosts_.erase(&form);
    // A form that goes hears no more clicks on its tray icons.
    if (tray_) tray_->ForgetWindow(form);
}

void LinuxPlatform::RunMessageLoop(const std::function<void()>& closeMainWindow) {
    if (ended_ || !application_) return;
    TerminationSignals termination([this, &closeMainWindow] {
        if (closeMainWindow)
            closeMainWindow();
        else
            EndProgram();
    });
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

int LinuxPlatform::MessageBox(const std::string& text, uint32_t, const std::string& title) {
    if (!application_) return 0;
    // Said on the terminal too, before the box waits: a user who started the
    // program from one, or whose session keeps a log, sees why it stopped.
    const std::string line = LinesJoinedByBlanks(text);
    if (!line.empty()) {
        std::fprintf(stderr, "%s: %s\n", ExecutableName().c_str(), line.c_str());
        std::fflush(stderr);
        messageSaidOnTerminal_ = true;
    }
    // The program's only boxes are warnings with one OK button.
    QMessageBox box(QMessageBox::Warning, QtShownText(title), QtShownText(text), QMessageBox::Ok);
    box.exec();
    return IDOK;
}

}  // namespace gimbalo
