// The top-level window of a shown form: one native widget per declared
// control. Model changes are pushed into the widgets without coming back as
// user input; what the user does becomes the model's User* calls.
#pragma once

#include <QCursor>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <set>

#include "platform/common/form_window.h"
#include "platform/forms.h"
#include "platform/linux/widget_factory.h"

namespace gimbalo {

// What a window takes from the desktop besides its form.
struct WindowResources {
    // The picture behind a picture handle; a null pixmap when there is none.
    std::function<QPixmap(int32_t handle)> picture;
    // The pointer shown over controls declared with the hand.
    QCursor hand{Qt::PointingHandCursor};
};

class QtFormWindow : public QWidget, public FormWindow {
public:
    QtFormWindow(Form& form, WindowResources resources);
    ~QtFormWindow() override;

    // The window is destroyed once control is back in the event loop.
    void Detach() override;
    void ControlChanged(Control& control, Property what) override;

    // The form shown, nullptr once it is let go of.
    const Form* Model() const { return form_; }
    // The widget of a control, nullptr for one without (a timer).
    QWidget* WidgetOf(const Control& control) const;
    // The control a widget stands for, nullptr for any other widget (or
    // once the form is let go of).
    Control* ControlOf(const QObject* widget) const;
    // A press from a screen reader on the widget of a link: as a click.
    void PressLink(const QWidget& widget);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ---- building (qt_form_window.cpp) ----
    void BuildControls();
    void ConnectInput(Control& control, QWidget& widget);
    void ApplyTabOrder();
    void ApplyPointer(const Control& control, QWidget& widget);
    void ApplyCaptionRelations();
    void ApplyColoursOfAll();

    // ---- model to widgets (qt_form_updates.cpp) ----
    bool Detached() const override { return form_ == nullptr; }
    void ShowCaption() override;
    void ShowVisibility() override;
    void ShowIcon() override;
    void BringToFront() override;
    void PushCaption(Control& control);
    void PushPicture(Control& control);
    void PushComboItems(ComboBox& combo);
    void PushAccessibleName(const Control& control);
    void PushComboSelection(ComboBox& combo);
    void PushComboText(ComboBox& combo);
    void PushCheckValue(CheckBox& box);
    // Everything a user action could have touched, after the model had its say.
    void Resync(Control& control);
    void PlaceOnFirstShow();

    // ---- user input to the model (qt_form_input.cpp) ----
    // A click on a control that is no push button, list or check box.
    bool HandleClick(Control& control, QEvent* event, QWidget& widget);
    // Enter or Space on a link that has the focus: a click.
    bool HandleLinkKey(Control& control, QEvent* event);
    // Focus and pointer, as the model keeps them.
    void FollowFocusAndPointer(Control& control, QEvent* event);

    Form* form_;
    WindowResources resources_;
    FormScale scale_;
    std::map<const Control*, QWidget*> widgets_;
    std::map<const QObject*, Control*> controls_;
    std::map<const QObject*, Control*> clickable_;
    // The text parts of the lists.
    std::set<const QObject*> textParts_;
    QPointer<QWidget> pressed_;
    bool backgroundPressed_ = false;
    bool placed_ = false;
    bool detached_ = false;
};

}  // namespace gimbalo
