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

class QtFormWindow : public QWidget {
public:
    QtFormWindow(Form& form, WindowResources resources);
    ~QtFormWindow() override;
    QtFormWindow(const QtFormWindow&) = delete;
    QtFormWindow& operator=(const QtFormWindow&) = delete;

    // Lets go of the form: nothing reaches the model any more, the window
    // hides, and it is destroyed once control is back in the event loop
    // (the form may be unloaded from one of the window's own handlers, or
    // while a modal dialog runs).
    void Detach();

    void ControlChanged(Control& control, Property what);
    void FormChanged(Property what);

    // The widget of a control, nullptr for one without (a timer).
    QWidget* WidgetOf(const Control& control) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ConnectInput(Control& control, QWidget& widget);
    void ApplyTabOrder();
    void ApplyPointer(const Control& control, QWidget& widget);
    void FindListCaptions();

    void PushCaption(Control& control);
    void PushPicture(Control& control);
    void PushComboItems(ComboBox& combo);
    void PushComboSelection(ComboBox& combo);
    void PushComboText(ComboBox& combo);
    void PushCheckValue(CheckBox& box);
    void PushAccessibleName(const Control& control);
    // Everything a user action could have touched, after the model had its say.
    void Resync(Control& control);
    void PushFormVisible();
    void PushFormIcon();
    void PlaceOnFirstShow();
    // A click on a control that is no push button, list or check box.
    bool HandleClick(Control& control, QEvent* event, QWidget& widget);

    Form* form_;
    WindowResources resources_;
    FormScale scale_;
    std::map<const Control*, QWidget*> widgets_;
    std::map<const QObject*, Control*> clickable_;
    // The text parts of the lists.
    std::set<const QObject*> textParts_;
    // The label captioning a list: its caption names the list for screen
    // readers.
    std::map<const Control*, const Control*> listCaptions_;
    QPointer<QWidget> pressed_;
    bool backgroundPressed_ = false;
    bool placed_ = false;
    bool detached_ = false;
};

}  // namespace gimbalo
