// What the user does in a form's window, become the model's User* calls.
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/linux/qt_form_window.h"

namespace gimbalo {

namespace {

bool IsLeftButton(QEvent* event) {
    return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
}

}  // namespace

void QtFormWindow::closeEvent(QCloseEvent* event) {
    // The program decides whether the window goes: it unloads the form or
    // keeps it, and the host follows.
    event->ignore();
    if (form_ != nullptr) form_->UserClose();
}

void QtFormWindow::keyPressEvent(QKeyEvent* event) {
    // Keys that no control took: Escape is the form's.
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (form_ != nullptr) form_->UserEscape();
}

bool QtFormWindow::event(QEvent* event) {
    // The desktop's colours changed: texts stay readable on the form's.
    if (event->type() == QEvent::ApplicationPaletteChange) ApplyColoursOfAll();
    return QWidget::event(event);
}

void QtFormWindow::mousePressEvent(QMouseEvent* event) {
    backgroundPressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void QtFormWindow::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const bool click = backgroundPressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    backgroundPressed_ = false;
    if (!click) return;
    if (form_ != nullptr) form_->UserClick();
}

bool QtFormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (textParts_.count(watched) > 0) {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    Control* control = ControlOf(watched);
    if (control != nullptr) {
        FollowFocusAndPointer(*control, event);
        if (HandleLinkKey(*control, event)) return true;
    }
    const auto found = clickable_.find(watched);
    if (found == clickable_.end()) return QWidget::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    return HandleClick(*found->second, event, *widget);
}

void QtFormWindow::FollowFocusAndPointer(Control& control, QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn:
            control.UserFocus(true);
            break;
        case QEvent::FocusOut:
            control.UserFocus(false);
            break;
        case QEvent::Enter:
            control.UserPointerOver(true);
            break;
        case QEvent::Leave:
            control.UserPointerOver(false);
            break;
        default:
            break;
    }
}

bool QtFormWindow::HandleLinkKey(Control& control, QEvent* event) {
    if (!control.IsLink() || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool press = key->modifiers() == Qt::NoModifier &&
                       (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                        key->key() == Qt::Key_Space);
    if (!press) return false;
    // A key held down opens the page once.
    if (!key->isAutoRepeat()) control.UserClick();
    return true;
}

bool QtFormWindow::HandleClick(Control& control, QEvent* event, QWidget& widget) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (IsLeftButton(event)) pressed_ = &widget;
            return true;  // a click on a control never reaches its container
        case QEvent::MouseButtonDblClick:
            // The second press of a double click arms nothing: its release
            // is no second click.
            return true;
        case QEvent::MouseButtonRelease: {
            const bool click =
                IsLeftButton(event) && pressed_ == &widget &&
                widget.rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (IsLeftButton(event)) pressed_ = nullptr;
            if (click) {
                if (form_ != nullptr) control.UserClick();
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace gimbalo
