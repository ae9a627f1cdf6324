// Model changes pushed into a form's window and its widgets, without coming
// back as user input.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>

#include "platform/linux/qt_form_window.h"
#include "platform/linux/qt_text.h"
#include "platform/linux/x11_window_state.h"

namespace gimbalo {

void QtFormWindow::ControlChanged(Control& control, Property what) {
    QWidget* widget = WidgetOf(control);
    if (widget == nullptr || form_ == nullptr) return;
    const QSignalBlocker blocker(widget);
    switch (what) {
        case Property::Caption:
            PushCaption(control);
            break;
        case Property::Text:
            if (control.Kind() == ControlKind::ComboBox)
                PushComboText(static_cast<ComboBox&>(control));
            break;
        case Property::Items:
            if (control.Kind() == ControlKind::ComboBox)
                PushComboItems(static_cast<ComboBox&>(control));
            break;
        case Property::ListIndex:
            if (control.Kind() == ControlKind::ComboBox)
                PushComboSelection(static_cast<ComboBox&>(control));
            break;
        case Property::Value:
            if (control.Kind() == ControlKind::CheckBox)
                PushCheckValue(static_cast<CheckBox&>(control));
            break;
        case Property::Enabled:
            widget->setEnabled(control.Enabled());
            break;
        case Property::Visible:
            widget->setVisible(control.Visible());
            break;
        case Property::Bounds:
            // The about box's panel moves every 10 ms: its size stays, so
            // Qt only moves it and scrolls what is already drawn.
            PlaceWidget(control, *widget, scale_);
            break;
        case Property::Picture:
            PushPicture(control);
            break;
        case Property::Interval:
        case Property::Icon:
        case Property::Foreground:
            break;
    }
}

void QtFormWindow::ShowCaption() {
    setWindowTitle(QtShownText(form_->Caption()));
}

void QtFormWindow::PushCaption(Control& control) {
    QWidget* widget = WidgetOf(control);
    const QString text = QtShownText(control.Caption());
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        box->setTitle(text);
    }
    // Labels and check boxes make room for a longer text.
    PlaceWidget(control, *widget, scale_);
    PushAccessibleName(control);
    // A label names the control it captions as well.
    if (const Control* captioned = control.Layout().captionOf) PushAccessibleName(*captioned);
}

void QtFormWindow::PushAccessibleName(const Control& control) {
    QWidget* widget = WidgetOf(control);
    if (widget == nullptr) return;
    // What a screen reader says: the description of a picture, the caption of
    // a control's label, or the control's own caption; nothing for
    // decoration.
    const ControlDesign& design = control.Layout();
    QString name;
    if (!design.description.empty())
        name = QtText(design.description);
    else if (const Control* label = control.CaptionLabel())
        name = AccessibleText(label->Caption());
    else if (!design.decorative)
        name = AccessibleText(control.Caption());
    widget->setAccessibleName(name);
    // The text part of a list is the list, for whoever lands in it.
    if (auto* list = qobject_cast<QComboBox*>(widget); list && list->lineEdit())
        list->lineEdit()->setAccessibleName(name);
    if (control.IsLink()) widget->setAccessibleDescription(QtText(design.link));
}

void QtFormWindow::PushPicture(Control& control) {
    auto* label = qobject_cast<QLabel*>(WidgetOf(control));
    if (label == nullptr || !resources_.picture) return;
    const QPixmap picture =
        resources_.picture(static_cast<PictureControl&>(control).PictureHandle());
    if (picture.isNull())
        label->clear();
    else
        label->setPixmap(picture);
}

void QtFormWindow::PushComboItems(ComboBox& combo) {
    auto* widget = static_cast<QComboBox*>(WidgetOf(combo));
    const QSignalBlocker blocker(widget);
    widget->clear();
    for (const std::string& item : combo.Items()) widget->addItem(QtText(item));
    PushComboSelection(combo);
}

void QtFormWindow::PushComboSelection(ComboBox& combo) {
    auto* widget = static_cast<QComboBox*>(WidgetOf(combo));
    const QSignalBlocker blocker(widget);
    QLineEdit* edit = widget->lineEdit();
    const int cursor = edit->cursorPosition();
    widget->setCurrentIndex(combo.ListIndex());
    // Selecting nothing empties Qt's text part, selecting an entry replaces
    // it; the text part shows the model's text all the same, and typing goes
    // on where it was.
    const QString text = QtText(combo.Text());
    if (edit->text() != text) {
        const QSignalBlocker editBlocker(edit);
        edit->setText(text);
        edit->setCursorPosition(std::min<int>(cursor, static_cast<int>(text.size())));
    }
}

void QtFormWindow::PushComboText(ComboBox& combo) {
    auto* widget = static_cast<QComboBox*>(WidgetOf(combo));
    QLineEdit* edit = widget->lineEdit();
    const QString text = QtText(combo.Text());
    if (edit->text() == text) return;
    const QSignalBlocker blocker(edit);
    edit->setText(text);
}

void QtFormWindow::PushCheckValue(CheckBox& box) {
    auto* widget = static_cast<QCheckBox*>(WidgetOf(box));
    const QSignalBlocker blocker(widget);
    widget->setChecked(box.Value() == 1);
}

void QtFormWindow::Resync(Control& control) {
    QWidget* widget = WidgetOf(control);
    if (widget == nullptr) return;
    const QSignalBlocker blocker(widget);
    if (control.Kind() == ControlKind::ComboBox)
        PushComboSelection(static_cast<ComboBox&>(control));
    else if (control.Kind() == ControlKind::CheckBox)
        PushCheckValue(static_cast<CheckBox&>(control));
}

void QtFormWindow::ShowIcon() {
    if (form_ == nullptr || !resources_.picture) return;
    const QPixmap icon = resources_.picture(form_->Icon());
    setWindowIcon(icon.isNull() ? QIcon() : QIcon(icon));
}

void QtFormWindow::ShowVisibility() {
    if (!form_->Visible()) {
        hide();
        return;
    }
    if (!form_->Layout().showInTaskbar) SkipTaskbar(*this);
    // A form that is read rather than edited holds the focus itself at
    // first; Tab leads on to its controls.
    if (!placed_ && form_->Layout().takesFocus) setFocus(Qt::OtherFocusReason);
    PlaceOnFirstShow();
    show();
    raise();
    activateWindow();
}

void QtFormWindow::BringToFront() {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void QtFormWindow::PlaceOnFirstShow() {
    if (placed_) return;
    placed_ = true;
    if (form_->Layout().startPosition != StartPosition::CenterScreen) return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect place(QPoint(0, 0), size());
    place.moveCenter(screen->availableGeometry().center());
    move(place.topLeft());
}

}  // namespace gimbalo
