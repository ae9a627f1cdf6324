#include "platform/linux/form_accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QList>
#include <optional>

#include "platform/linux/qt_form_window.h"

namespace gimbalo {

namespace {

QtFormWindow* WindowOf(const QWidget& widget) {
    return dynamic_cast<QtFormWindow*>(widget.window());
}

bool IsDecoration(const QWidget& widget) {
    const QtFormWindow* window = WindowOf(widget);
    const Control* control = window != nullptr ? window->ControlOf(&widget) : nullptr;
    return control != nullptr && control->Layout().decorative;
}

// A form window or one of its pictures, frames or links: its own role, and
// children without decoration.
class FormAccessible : public QAccessibleWidget {
public:
    FormAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    int childCount() const override { return static_cast<int>(Children().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> children = Children();
        if (index < 0 || index >= children.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) return -1;
        return static_cast<int>(Children().indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> Children() const {
        QList<QWidget*> children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child != nullptr && !child->isWindow() && !IsDecoration(*child))
                children.append(child);
        }
        return children;
    }
};

// A link: named by its text, described by its address, followed by a press.
class LinkAccessible : public FormAccessible {
public:
    explicit LinkAccessible(QWidget* widget) : FormAccessible(widget, QAccessible::Link) {}

    QAccessible::State state() const override {
        QAccessible::State state = FormAccessible::state();
        state.linked = true;
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + FormAccessible::actionNames();
    }
    void doAction(const QString& name) override {
        if (name != pressAction()) {
            FormAccessible::doAction(name);
            return;
        }
        if (QtFormWindow* window = WindowOf(*widget())) window->PressLink(*widget());
    }
};

// A list: named by its caption, as on every desktop (Qt names a list on
// Linux by its value alone), with its text as its value.
class ListAccessible : public FormAccessible {
public:
    explicit ListAccessible(QWidget* widget) : FormAccessible(widget, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return List().currentText();
        return FormAccessible::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State state = FormAccessible::state();
        state.expandable = true;
        state.expanded = List().view() != nullptr && List().view()->isVisible();
        state.editable = List().isEditable();
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + FormAccessible::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == showMenuAction() || name == pressAction())
            List().showPopup();
        else
            FormAccessible::doAction(name);
    }

private:
    QComboBox& List() const { return *static_cast<QComboBox*>(widget()); }
};

// The role of the form's own interface for `widget`, or nothing where Qt's
// serves.
std::optional<QAccessible::Role> OwnRole(QWidget& widget) {
    QtFormWindow* window = WindowOf(widget);
    if (window == nullptr) return std::nullopt;
    if (&widget == window) {
        const Form* form = window->Model();
        if (form == nullptr) return std::nullopt;
        return form->Layout().border == FormBorder::FixedDialog ? QAccessible::Dialog
                                                                : QAccessible::Window;
    }
    const Control* control = window->ControlOf(&widget);
    if (control == nullptr) return std::nullopt;
    switch (control->Kind()) {
        case ControlKind::Label:
            if (control->IsLink()) return QAccessible::Link;
            return std::nullopt;
        case ControlKind::Image:
            return QAccessible::Graphic;
        case ControlKind::PictureBox:
            // A picture box that holds controls is a pane; one that only
            // shows a picture, a graphic.
            return control->Layout().description.empty() ? QAccessible::Pane : QAccessible::Graphic;
        case ControlKind::Frame:
            return control->Caption().empty() ? QAccessible::Separator : QAccessible::Grouping;
        case ControlKind::ComboBox:
            return QAccessible::ComboBox;
        case ControlKind::CheckBox:
        case ControlKind::CommandButton:
        case ControlKind::Timer:
            break;
    }
    return std::nullopt;
}

QAccessibleInterface* FormInterface(const QString&, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    const std::optional<QAccessible::Role> role = OwnRole(*widget);
    if (!role) return nullptr;
    if (*role == QAccessible::Link) return new LinkAccessible(widget);
    if (*role == QAccessible::ComboBox) return new ListAccessible(widget);
    return new FormAccessible(widget, *role);
}

void Refresh(QWidget& widget) {
    if (!OwnRole(widget)) return;
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&widget);
    if (made == nullptr || dynamic_cast<FormAccessible*>(made) != nullptr) return;
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

}  // namespace

void InstallFormAccessibility() {
    QAccessible::installFactory(&FormInterface);
}

void RemoveFormAccessibility() {
    QAccessible::removeFactory(&FormInterface);
}

void RefreshAccessibleInterfaces(QtFormWindow& window) {
    Refresh(window);
    for (QWidget* widget : window.findChildren<QWidget*>()) Refresh(*widget);
}

}  // namespace gimbalo
