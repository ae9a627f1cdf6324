#include "platform/linux/persistent_tray_icon.h"

#include <QSystemTrayIcon>
#include <QTimer>

namespace gimbalo {

namespace {
// A panel that starts after the program shows the icon within this time.
constexpr int kRetryMilliseconds = 2000;
}  // namespace

PersistentTrayIcon::PersistentTrayIcon(const QIcon& icon, const QString& tip)
    : icon_(new QSystemTrayIcon(icon)), retry_(std::make_unique<QTimer>()) {
    // No context menu of Qt's own: a right click goes to the program, which
    // shows its menu.
    icon_->setToolTip(tip);
    retry_->setInterval(kRetryMilliseconds);
    QObject::connect(retry_.get(), &QTimer::timeout, [this] { TryShow(); });
    TryShow();
}

PersistentTrayIcon::~PersistentTrayIcon() {
    retry_.reset();
    icon_->hide();
    icon_->deleteLater();
}

void PersistentTrayIcon::TryShow() {
    // Qt shows no icon, and never will, when asked while no area exists.
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        icon_->show();
        shown_ = icon_->isVisible();
    }
    if (shown_)
        retry_->stop();
    else if (!retry_->isActive())
        retry_->start();
}

}  // namespace gimbalo
