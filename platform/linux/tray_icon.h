// One notification-area icon that survives the desktop: it keeps "the program
// wants the icon" apart from "the icon is shown", so an icon asked for before
// any panel runs (a panel that starts late at login) or while the panel
// restarts appears as soon as a notification area is there again.
#pragma once

#include <QIcon>
#include <QString>
#include <memory>

class QSystemTrayIcon;
class QTimer;

namespace gimbalo {

class TrayIcon {
public:
    // The icon is wanted from the start: it shows now, or once a
    // notification area appears.
    TrayIcon(const QIcon& icon, const QString& tip);
    // Takes the icon off the desktop.
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Whether the icon was handed to a notification area that is still there.
    bool Shown() const { return shown_; }
    // The Qt icon, for its activation signal.
    QSystemTrayIcon& Native() { return *icon_; }

private:
    void TryShow();
    void TrayChanged();

    // Deleted later, not at once: the icon may be taken away from inside a
    // handler of its own click.
    QSystemTrayIcon* icon_;
    // Tries again every few seconds while no notification area is there.
    std::unique_ptr<QTimer> retry_;
    // Started when the X tray host changes, so the reaction runs from the
    // event loop and not inside Qt's own notification.
    std::unique_ptr<QTimer> trayChanged_;
    bool shown_ = false;
};

}  // namespace gimbalo
