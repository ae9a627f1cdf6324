// A notification area for the tray tests: the small panel "trayer", started
// as a child of the test and stopped by its process number.
#pragma once

#include "linux_test_support.h"

#include <sys/wait.h>
#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <csignal>

namespace gimbalo::testing {

// Processes Qt's events until `condition` holds or the deadline passes.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds deadline = kDeadline) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        // Up to 20 ms of Qt's events, so the X server's answers come in.
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

class TrayHost {
public:
    static bool Installed() { return !QStandardPaths::findExecutable("trayer").isEmpty(); }

    TrayHost() = default;
    ~TrayHost() { Stop(); }
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    // Starts the panel and waits until Qt sees a notification area.
    bool Start() {
        process_.setProgram(QStringLiteral("trayer"));
        process_.setArguments(
            {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"});
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.start();
        if (!process_.waitForStarted(static_cast<int>(kDeadline.count() * 1000))) return false;
        return WaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); });
    }

    // Stops the panel; the notification area goes with it.
    void Stop() {
        if (process_.state() == QProcess::NotRunning) return;
        const qint64 pid = process_.processId();
        if (pid > 0) ::kill(static_cast<pid_t>(pid), SIGTERM);
        if (!process_.waitForFinished(static_cast<int>(kDeadline.count() * 1000))) {
            if (pid > 0) ::kill(static_cast<pid_t>(pid), SIGKILL);
            process_.waitForFinished(static_cast<int>(kDeadline.count() * 1000));
        }
    }

private:
    QProcess process_;
};

// Qt's widget for a docked icon on X11.
inline QWidget* TrayIconWidget() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("QSystemTrayIconSys")) return widget;
    return nullptr;
}

}  // namespace gimbalo::testing
