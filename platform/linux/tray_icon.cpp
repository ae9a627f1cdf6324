#include "platform/linux/tray_icon.h"

#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QTimer>

namespace gimbalo {

namespace {
// A panel that starts after the program shows the icon within this time.
constexpr int kRetryMilliseconds = 2000;
}  // namespace

TrayIcon::TrayIcon(const QIcon& icon, const QString& tip)
    : icon_(new QSystemTrayIcon(icon)),
      retry_(std::make_unique<QTimer>()),
      trayChanged_(std::make_unique<QTimer>()) {
    // No context menu: a right click reaches the program, which shows its own.
    icon_->setToolTip(tip);

    retry_->setInterval(kRetryMilliseconds);
    QObject::connect(retry_.get(), &QTimer::timeout, [this] { TryShow(); });

    TryShow();
}

TrayIcon::~TrayIcon() {
    trayChanged_.reset();
    retry_.reset();
    icon_->hide();
    icon_->deleteLater();
}

void TrayIcon::TryShow() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        shown_ = false;
        if (!retry_->isActive()) retry_->start();
        return;
    }
    // Hiding first makes Qt dock the icon afresh in the area there now.
    icon_->hide();
    icon_->show();
    shown_ = icon_->isVisible();
    if (shown_)
        retry_->stop();
    else if (!retry_->isActive())
        retry_->start();
}

void TrayIcon::TrayChanged() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        TryShow();
    } else {
        shown_ = false;
        if (!retry_->isActive()) retry_->start();
    }
}

}  // namespace gimbalo
