// Shared by the tests of forms and of the whole program on the X display:
// waiting for a condition while Qt runs, finding widgets by name, driving
// them the way the user's input reaches them, and saving screenshots.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <string>

#include "linux_test_support.h"

namespace gimbalo::testing {

// Lets Qt run until `done` holds or the deadline passes; whether it holds.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds deadline = kDeadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return done();
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Whether `font` shows in `family`, or where that is not installed in the
// stand-in the test machines have (Liberation Sans for Arial, DejaVu Sans for
// Verdana).
inline ::testing::AssertionResult ShowsFamily(const QFont& font, const QString& family) {
    const QString shown = QFontInfo(font).family();
    QString standIn;
    if (family == QLatin1String("Arial")) standIn = QStringLiteral("Liberation Sans");
    if (family == QLatin1String("Verdana")) standIn = QStringLiteral("DejaVu Sans");
    if (shown == family || (!standIn.isEmpty() && shown == standIn))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "shows in " << shown.toStdString() << ", not " << family.toStdString();
}

// Deletes what was handed to deleteLater, so a test can see it gone.
inline void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The top-level window with this object name (a form's name), or nullptr.
inline QWidget* TopLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name)) return widget;
    return nullptr;
}

// A widget called `name` inside the window called `window`, or nullptr.
template <typename T = QWidget>
T* Find(const char* window, const char* name) {
    QWidget* top = TopLevel(window);
    return top != nullptr ? top->findChild<T*>(QLatin1String(name)) : nullptr;
}

inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint at,
                      Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// A left click at `at` (the centre by default), as the window system
// delivers it: a press, then a release.
inline void Click(QWidget& widget, QPoint at = QPoint(-1, -1)) {
    if (at == QPoint(-1, -1)) at = widget.rect().center();
    SendMouse(widget, QEvent::MouseButtonPress, at);
    SendMouse(widget, QEvent::MouseButtonRelease, at);
}

inline void Key(QWidget& widget, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &release);
}

// A press that the keyboard repeats while the key is held down.
inline void RepeatedKeyPress(QWidget& widget, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, true);
    QApplication::sendEvent(&widget, &press);
}

// Types `text` into the focused part of `widget`, one key at a time.
inline void Type(QWidget& widget, const QString& text) {
    for (const QChar c : text) Key(widget, c.unicode(), QString(c));
}

// Picks entry `index` of a list the way a user does: opens its drop-down
// part and clicks the entry. Whether the drop-down part came up.
inline bool PickInList(QComboBox& combo, int index) {
    combo.showPopup();
    QAbstractItemView* view = combo.view();
    if (!WaitUntil([view] { return view->isVisible(); })) return false;
    const QRect entry = view->visualRect(combo.model()->index(index, 0));
    SendMouse(*view->viewport(), QEvent::MouseButtonPress, entry.center());
    SendMouse(*view->viewport(), QEvent::MouseButtonRelease, entry.center());
    return WaitUntil([view] { return !view->isVisible(); });
}

// Runs `open`, and `act` once on the popup menu it shows while the menu is
// up; returns once that menu has closed. Whether a menu came up; one still
// open at the deadline is closed, so a fault fails the test instead of
// hanging it.
inline bool WithNextPopup(const std::function<void()>& open,
                          const std::function<void(QMenu&)>& act) {
    bool shown = false;
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!shown && menu != nullptr && menu->isVisible()) {
            shown = true;
            act(*menu);
        } else if (std::chrono::steady_clock::now() > deadline && menu != nullptr) {
            menu->close();
        }
    });
    driver.start(5);
    open();
    WaitUntil([&] { return shown && QApplication::activePopupWidget() == nullptr; });
    driver.stop();
    return shown;
}

// Where screenshots go: the build folder's "artifacts", beside gimbalo.
inline QString ArtifactsFolder() {
    const QString folder =
        QFileInfo(QStringLiteral(GIMBALO_EXECUTABLE)).absolutePath() + QStringLiteral("/artifacts");
    QDir().mkpath(folder);
    return folder;
}

// Saves what `widget` shows as artifacts/<name>.png; whether it was written.
inline bool SaveScreenshot(QWidget& widget, const char* name) {
    const QString path =
        ArtifactsFolder() + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
    return widget.grab().save(path);
}

}  // namespace gimbalo::testing
