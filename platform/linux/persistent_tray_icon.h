// One notification-area icon that survives the desktop. It keeps "the program
// wants the icon" apart from "the icon is shown": an icon asked for while no
// notification area exists (a panel that starts late at login) appears as
// soon as one does, without a restart.
#pragma once

#include <QIcon>
#include <QString>
#include <memory>

class QSystemTrayIcon;
class QTimer;

namespace gimbalo {

class PersistentTrayIcon {
public:
    // The icon is wanted from the start: it shows now, or once a
    // notification area appears.
    PersistentTrayIcon(const QIcon& icon, const QString& tip);
    // Takes the icon off the desktop.
    ~PersistentTrayIcon();
    PersistentTrayIcon(const PersistentTrayIcon&) = delete;
    PersistentTrayIcon& operator=(const PersistentTrayIcon&) = delete;

    // Whether the icon has been handed to a notification area. From then on
    // Qt follows the area itself: when the panel restarts, Qt docks the icon
    // in the new one.
    bool Shown() const { return shown_; }
    // The Qt icon, for its activation signal.
    QSystemTrayIcon& Native() { return *icon_; }

private:
    void TryShow();

    // Deleted later, not at once: the program may take the icon away from
    // inside the handling of a click on it.
    QSystemTrayIcon* icon_;
    // Tries again every few seconds while no notification area exists.
    std::unique_ptr<QTimer> retry_;
    bool shown_ = false;
};

}  // namespace gimbalo
