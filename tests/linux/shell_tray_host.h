// A notification area for the tray tests: the small panel "trayer", started
// as a child of the test and stopped by its process number, and where an
// icon docked in it is. Include it last: it brings in Xlib, whose macros
// (None, Bool, Status) clash with Qt's names.
#pragma once

#include "gui_test_support.h"
#include "linux_test_support.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <csignal>

// After Qt.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace gimbalo::testing {

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
        return WaitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); });
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

// The docked icon as other X clients see it.
struct Docked {
    bool inHost = false;    // inside trayer's panel window
    bool viewable = false;  // mapped, and so are its ancestors
    int centreX = 0;
    int centreY = 0;
};

// The window just below the root that holds `window`.
inline Window TopLevel(Display* display, Window window) {
    for (;;) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return 0;
        if (children != nullptr) XFree(children);
        if (parent == 0 || parent == root) return window;
        window = parent;
    }
}

inline bool IsTrayerPanel(Display* display, Window window) {
    XClassHint hint{};
    if (window == 0 || XGetClassHint(display, window, &hint) == 0) return false;
    const bool trayer = hint.res_class != nullptr && std::string(hint.res_class) == "trayer";
    if (hint.res_name != nullptr) XFree(hint.res_name);
    if (hint.res_class != nullptr) XFree(hint.res_class);
    return trayer;
}

inline Docked DockState(QWidget* widget) {
    Docked state;
    if (widget == nullptr || !widget->isVisible()) return state;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return state;
    const auto window = static_cast<Window>(widget->winId());
    const Window top = TopLevel(display, window);
    state.inHost = top != window && IsTrayerPanel(display, top);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) != 0) {
        state.viewable = attributes.map_state == IsViewable;
        Window child = 0;
        XTranslateCoordinates(display, window, attributes.root, attributes.width / 2,
                              attributes.height / 2, &state.centreX, &state.centreY, &child);
    }
    XCloseDisplay(display);
    return state;
}

inline bool IsDocked() {
    const Docked state = DockState(TrayIconWidget());
    return state.inHost && state.viewable;
}

// Whether the pointer has entered a widget, as Qt saw it.
class EnterWatch : public QObject {
public:
    explicit EnterWatch(QWidget* widget) : widget_(widget) {
        if (widget != nullptr) widget->installEventFilter(this);
    }
    ~EnterWatch() override {
        if (widget_ != nullptr) widget_->removeEventFilter(this);
    }
    bool entered = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Enter) entered = true;
        return false;
    }

private:
    QPointer<QWidget> widget_;
};

// Puts the pointer on the docked icon's centre, coming from elsewhere, and
// waits until the icon has seen it come in: a click before that may go to
// the panel instead. Whether it did. Qt may make the icon's window anew while
// the pointer moves; then it starts over with the new one.
inline bool PointAtIcon(Platform& platform) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        QPointer<QWidget> icon = TrayIconWidget();
        const Docked docked = DockState(icon);
        if (!docked.viewable) return false;
        const QPoint away(docked.centreX > 200 ? docked.centreX - 200 : docked.centreX + 200,
                          docked.centreY + 200);
        platform.SetCursorPos(away.x(), away.y());
        if (!WaitUntil([&] { return QCursor::pos() == away; })) return false;
        if (icon.isNull()) continue;
        EnterWatch watch(icon);
        platform.SetCursorPos(docked.centreX, docked.centreY);
        if (WaitUntil([&] { return watch.entered || icon.isNull(); }) && !icon.isNull())
            return true;
    }
    return false;
}

}  // namespace gimbalo::testing

#define TRAY_HOST_OR_SKIP()                                                 \
    if (!::gimbalo::testing::HaveDisplay()) GTEST_SKIP() << "no X display"; \
    if (!::gimbalo::testing::TrayHost::Installed()) GTEST_SKIP() << "trayer is not installed"
