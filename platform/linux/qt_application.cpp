#include "platform/linux/qt_application.h"

#include <QApplication>

#include "platform/linux/form_accessibility.h"

namespace gimbalo {

QtApplication::QtApplication() = default;

bool QtApplication::Start(int& argc, char** argv, std::string& error) {
    for (int i = 0; i < argc && argv != nullptr && argv[i] != nullptr; ++i)
        arguments_.emplace_back(argv[i]);
    if (arguments_.empty()) arguments_.emplace_back("gimbalo");
    for (std::string& argument : arguments_) argv_.push_back(argument.data());
    argv_.push_back(nullptr);
    argc_ = static_cast<int>(arguments_.size());

    // Qt allows one application object per process.
    if (QCoreApplication::instance() != nullptr) {
        error = "gimbalo: the desktop is already opened in this process";
        return false;
    }
    application_ = std::make_unique<QApplication>(argc_, argv_.data());
    QApplication::setQuitOnLastWindowClosed(false);
    InstallFormAccessibility();
    return true;
}

QtApplication::~QtApplication() {
    if (!application_) return;
    // Form windows and tray icons go through deleteLater; with no event loop
    // left to run, this is their last chance before Qt itself ends.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    RemoveFormAccessibility();
}

}  // namespace gimbalo
