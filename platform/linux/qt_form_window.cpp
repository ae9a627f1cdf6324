// Building a form's window: a native widget per declared control, placed,
// coloured, ordered for Tab and named for screen readers, and wired so that
// what the user does reaches the model.
#include "platform/linux/qt_form_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "platform/linux/form_accessibility.h"
#include "platform/linux/form_colours.h"
#include "platform/linux/qt_text.h"

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

}  // namespace

QtFormWindow::QtFormWindow(Form& form, WindowResources resources)
    : QWidget(nullptr, FlagsFor(form.Layout().border)),
      form_(&form),
      resources_(std::move(resources)),
      scale_(form.Layout().unit, ScreenScale()) {
    const FormDesign& design = form.Layout();
    setObjectName(QtText(design.name));
    setFont(ToQFont(design.font));
    ApplyFormColours(design, *this, QApplication::palette());
    if (design.takesFocus) setFocusPolicy(Qt::StrongFocus);
    const QSize client(scale_.ToPixels(design.clientWidth), scale_.ToPixels(design.clientHeight));
    if (design.border == FormBorder::Sizable)
        resize(client);
    else
        setFixedSize(client);
    setWindowTitle(QtShownText(form.Caption()));
    ShowIcon();

    BuildControls();
    ApplyCaptionRelations();
    for (Control* control : form.Controls())
        if (widgets_.count(control) > 0) PushAccessibleName(*control);
    ApplyTabOrder();
    RefreshAccessibleInterfaces(*this);
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

Control* QtFormWindow::ControlOf(const QObject* widget) const {
    if (form_ == nullptr) return nullptr;
    const auto found = controls_.find(widget);
    return found != controls_.end() ? found->second : nullptr;
}

void QtFormWindow::PressLink(const QWidget& widget) {
    Control* control = ControlOf(&widget);
    if (control != nullptr && control->IsLink()) control->UserClick();
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
        controls_[widget] = control;
        // Focus, pointer and keys of every control reach the model.
        widget->installEventFilter(this);
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

void QtFormWindow::ApplyCaptionRelations() {
    // A label names the control it captions, and its access key leads there.
    for (Control* control : form_->Controls()) {
        const Control* captioned = control->Layout().captionOf;
        auto* label = qobject_cast<QLabel*>(WidgetOf(*control));
        if (captioned != nullptr && label != nullptr) label->setBuddy(WidgetOf(*captioned));
    }
}

void QtFormWindow::ApplyColoursOfAll() {
    if (form_ == nullptr) return;
    const QPalette desktop = QApplication::palette();
    ApplyFormColours(form_->Layout(), *this, desktop);
    for (const auto& [control, widget] : widgets_) ApplyColours(*control, *widget, desktop);
}

}  // namespace gimbalo
