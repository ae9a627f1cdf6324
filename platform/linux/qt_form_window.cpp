#include "platform/linux/qt_form_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>
#include <limits>
#include <vector>

#include "platform/linux/qt_text.h"
#include "platform/linux/x11_window_state.h"

namespace gimbalo {

namespace {

Qt::WindowFlags FlagsFor(FormBorder border) {
    switch (border) {
        case FormBorder::None:
            return Qt::Window | Qt::FramelessWindowHint;
        case FormBorder::Sizable:
            return Qt::Window;
        case FormBorder::FixedDialog:
            break;
    }
    // A close button in the title bar, and no minimise or maximise button.
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

bool IsLeftButton(QEvent* event) {
    return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
}

}  // namespace

QtFormWindow::QtFormWindow(Form& form, WindowResources resources)
    : QWidget(nullptr, FlagsFor(form.Layout().border)),
      form_(&form),
      resources_(std::move(resources)),
      scale_(form.Layout().unit, ScreenScale()) {
    const FormDesign& design = form.Layout();
    setObjectName(QtText(design.name));
    setFont(ToQFont(design.font));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(design.backColor));
    setPalette(palette);
    setAutoFillBackground(true);
    const QSize client(scale_.ToPixels(design.clientWidth), scale_.ToPixels(design.clientHeight));
    if (design.border == FormBorder::Sizable)
        resize(client);
    else
        setFixedSize(client);
    setWindowTitle(QtShownText(form.Caption()));
    PushFormIcon();

    BuildControls();
    FindListCaptions();
    for (Control* control : form.Controls())
        if (widgets_.count(control) > 0) PushAccessibleName(*control);
    ApplyTabOrder();
}

QtFormWindow::~QtFormWindow() = default;

void QtFormWindow::Detach() {
    if (detached_) return;
    detached_ = true;
    form_ = nullptr;
    hide();
    // Never at once: a modal loop (a message box, a file dialog) or one of
    // its own handlers may be on the stack under this call.
    deleteLater();
}

QWidget* QtFormWindow::WidgetOf(const Control& control) const {
    const auto found = widgets_.find(&control);
    return found != widgets_.end() ? found->second : nullptr;
}

// ---- building ----

void QtFormWindow::BuildControls() {
    for (Control* control : form_->Controls()) {
        QWidget* parent = this;
        if (Control* container = control->Container())
            if (QWidget* holder = WidgetOf(*container)) parent = holder;
        QWidget* widget = CreateControlWidget(*control, parent, scale_);
        if (widget == nullptr) continue;
        widgets_[control] = widget;
        switch (control->Kind()) {
            case ControlKind::ComboBox:
                PushComboItems(static_cast<ComboBox&>(*control));
                break;
            case ControlKind::CheckBox:
                PushCheckValue(static_cast<CheckBox&>(*control));
                break;
            case ControlKind::Image:
            case ControlKind::PictureBox:
                PushPicture(*control);
                break;
            default:
                break;
        }
        ApplyPointer(*control, *widget);
        ConnectInput(*control, *widget);
    }
}

void QtFormWindow::ConnectInput(Control& control, QWidget& widget) {
    Control* model = &control;
    switch (control.Kind()) {
        case ControlKind::ComboBox: {
            auto* combo = static_cast<QComboBox*>(&widget);
            auto* list = static_cast<ComboBox*>(model);
            // activated and textEdited come from the user only, never from a
            // change the program pushes in.
            connect(combo, &QComboBox::activated, this, [this, list](int index) {
                if (form_ == nullptr) return;
                list->UserPick(index);
                if (form_ != nullptr) Resync(*list);
            });
            connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                    [this, list](const QString& text) {
                        if (form_ == nullptr) return;
                        list->UserType(text.toStdString());
                        if (form_ != nullptr) Resync(*list);
                    });
            // Enter in the text part picks nothing, as on the desktop the
            // program was made for: Qt would pick the entry the text names.
            combo->lineEdit()->installEventFilter(this);
            textParts_.insert(combo->lineEdit());
            break;
        }
        case ControlKind::CheckBox: {
            auto* box = static_cast<CheckBox*>(model);
            connect(static_cast<QCheckBox*>(&widget), &QCheckBox::clicked, this, [this, box] {
                if (form_ == nullptr) return;
                box->UserToggle();
                if (form_ != nullptr) Resync(*box);
            });
            break;
        }
        case ControlKind::CommandButton:
            connect(static_cast<QPushButton*>(&widget), &QPushButton::clicked, this, [this, model] {
                if (form_ != nullptr) model->UserClick();
            });
            break;
        case ControlKind::Label:
        case ControlKind::Image:
        case ControlKind::PictureBox:
        case ControlKind::Frame:
            clickable_[&widget] = model;
            widget.installEventFilter(this);
            break;
        case ControlKind::Timer:
            break;
    }
}

void QtFormWindow::ApplyPointer(const Control& control, QWidget& widget) {
    if (control.Pointer() != PointerShape::Hand) return;
    widget.setCursor(resources_.hand);
    // The text part of a list has a pointer of its own.
    if (auto* combo = qobject_cast<QComboBox*>(&widget))
        if (QLineEdit* edit = combo->lineEdit()) edit->setCursor(resources_.hand);
}

void QtFormWindow::ApplyTabOrder() {
    std::vector<Control*> chain;
    for (Control* control : form_->Controls())
        if (control->TabIndex() >= 0 && widgets_.count(control) > 0) chain.push_back(control);
    std::stable_sort(chain.begin(), chain.end(), [](const Control* a, const Control* b) {
        return a->TabIndex() < b->TabIndex();
    });
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(widgets_[chain[i - 1]], widgets_[chain[i]]);
}

void QtFormWindow::FindListCaptions() {
    // The caption of a list is the label in the same container that shares
    // some of its height and ends nearest to the left of it.
    for (Control* list : form_->Controls()) {
        if (list->Kind() != ControlKind::ComboBox) continue;
        const Bounds& to = list->GetBounds();
        const Control* best = nullptr;
        int bestGap = std::numeric_limits<int>::max();
        for (Control* label : form_->Controls()) {
            if (label->Kind() != ControlKind::Label || label->Container() != list->Container())
                continue;
            const Bounds& from = label->GetBounds();
            const bool sharesHeight =
                from.top < to.top + to.height && to.top < from.top + from.height;
            const int gap = to.left - (from.left + from.width);
            if (sharesHeight && gap >= 0 && gap < bestGap) {
                best = label;
                bestGap = gap;
            }
        }
        if (best != nullptr) listCaptions_[list] = best;
    }
}

// ---- model to widgets ----

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

void QtFormWindow::FormChanged(Property what) {
    if (form_ == nullptr) return;
    switch (what) {
        case Property::Caption:
            setWindowTitle(QtShownText(form_->Caption()));
            break;
        case Property::Visible:
            PushFormVisible();
            break;
        case Property::Icon:
            PushFormIcon();
            break;
        default:
            break;
    }
}

void QtFormWindow::PushCaption(Control& control) {
    QWidget* widget = WidgetOf(control);
    const QString text = QtShownText(control.Caption());
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
        PlaceWidget(control, *label, scale_);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(widget))
        box->setTitle(text);
    PushAccessibleName(control);
    // A label that captions a list names the list as well.
    for (const auto& [list, label] : listCaptions_)
        if (label == &control) PushAccessibleName(*list);
}

void QtFormWindow::PushAccessibleName(const Control& control) {
    QWidget* widget = WidgetOf(control);
    if (widget == nullptr) return;
    const Control* source = &control;
    if (const auto found = listCaptions_.find(&control); found != listCaptions_.end())
        source = found->second;
    QString name = AccessibleText(source->Caption());
    if (name.isEmpty()) name = QtText(control.Name());
    widget->setAccessibleName(name);
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

void QtFormWindow::PushFormIcon() {
    if (form_ == nullptr || !resources_.picture) return;
    const QPixmap icon = resources_.picture(form_->Icon());
    setWindowIcon(icon.isNull() ? QIcon() : QIcon(icon));
}

void QtFormWindow::PushFormVisible() {
    if (!form_->Visible()) {
        hide();
        return;
    }
    if (!form_->Layout().showInTaskbar) SkipTaskbar(*this);
    PlaceOnFirstShow();
    show();
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

// ---- user input to the model ----

void QtFormWindow::closeEvent(QCloseEvent* event) {
    // The program decides whether the window goes: it unloads the form or
    // keeps it, and the host follows.
    event->ignore();
    if (form_ != nullptr) form_->UserClose();
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
    const auto found = clickable_.find(watched);
    if (found == clickable_.end()) return QWidget::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    return HandleClick(*found->second, event, *widget);
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
