#include "platform/linux/widget_factory.h"
#include "platform/linux/qt_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "platform/linux/form_colours.h"

namespace gimbalo {

namespace {

// Pixels (at 96 DPI) a growing check box keeps from its container's edge.
constexpr int kEdgeMargin = 8;
// Width in pixels of the mark around a link that has the focus.
constexpr int kFocusMarkWidth = 2;
// A frame no taller than this (in pixels) is drawn as a horizontal rule.
constexpr int kRuleHeight = 4;

Qt::Alignment ToQtAlignment(Alignment alignment) {
    switch (alignment) {
        case Alignment::Right:
            return Qt::AlignRight;
        case Alignment::Center:
            return Qt::AlignHCenter;
        case Alignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

// A link: a label that takes the focus and shows a mark while it has it,
// drawn in the highlight, which contrasts with the form's background.
class LinkLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        if (!hasFocus()) return;
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), kFocusMarkWidth));
        const int inset = kFocusMarkWidth / 2;
        painter.drawRect(rect().adjusted(inset, inset, -inset - 1, -inset - 1));
    }
};

QWidget* CreateLabel(const Control& control, QWidget* parent) {
    QLabel* label = control.IsLink() ? new LinkLabel(parent) : new QLabel(parent);
    // Captions are plain text: a '<' must not turn one into markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(ToQtAlignment(control.Layout().alignment) | Qt::AlignTop);
    label->setText(QtShownText(control.Caption()));
    return label;
}

QWidget* CreateComboBox(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    // Typed text stays typed text: no entry is added on Enter, and nothing
    // completes the word being typed.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setDuplicatesEnabled(true);
    return combo;
}

// The whole box answers a click, as the desktop's check boxes do, not only
// the tick and the text: a larger target for a hard-to-steer pointer.
class WholeAreaCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

QWidget* CreateCheckBox(const Control& control, QWidget* parent) {
    auto* box = new WholeAreaCheckBox(parent);
    box->setText(QtShownText(control.Caption()));
    return box;
}

QWidget* CreateButton(const Control& control, QWidget* parent) {
    auto* button = new QPushButton(parent);
    // Enter does not press any button of the program's dialogs.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setText(QtShownText(control.Caption()));
    return button;
}

QWidget* CreatePicture(const Control& control, QWidget* parent) {
    auto* picture = new QLabel(parent);
    if (control.Kind() == ControlKind::Image) {
        // An image shows its picture in the size it is declared with.
        picture->setScaledContents(true);
    } else {
        // A picture box shows its picture unscaled from its top-left corner
        // and clips what it contains.
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    return picture;
}

QWidget* CreateFrame(const Control& control, QWidget* parent, const QRect& place) {
    if (!control.Caption().empty()) {
        auto* box = new QGroupBox(QtShownText(control.Caption()), parent);
        return box;
    }
    auto* frame = new QFrame(parent);
    frame->setFrameShape(place.height() <= kRuleHeight ? QFrame::HLine : QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

// A label's place: a label one line high does not wrap, and widens when
// its text is wider than the place.
QRect LabelPlace(const Control& control, QLabel& label, QRect place) {
    const QFontMetrics metrics(label.font());
    const QString text = label.text();
    const bool oneLine = place.height() < 2 * metrics.lineSpacing() && !text.contains('\n');
    label.setWordWrap(!oneLine);
    if (!oneLine) return place;
    const int extra = metrics.horizontalAdvance(text) + 1 - place.width();
    if (extra <= 0) return place;
    switch (control.Layout().alignment) {
        case Alignment::Left:
            place.setRight(place.right() + extra);
            break;
        case Alignment::Right:
            place.setLeft(place.left() - extra);
            break;
        case Alignment::Center:
            place.adjust(-extra / 2, 0, extra - extra / 2, 0);
            break;
    }
    return place;
}

// A check box whose text needs more room grows to the right, as far as its
// container leaves room.
QRect CheckBoxPlace(const QWidget& box, QRect place) {
    const int wanted = box.sizeHint().width();
    if (wanted <= place.width()) return place;
    int right = place.left() + wanted - 1;
    if (const QWidget* container = box.parentWidget()) {
        const int margin = static_cast<int>(std::lround(kEdgeMargin * ScreenScale()));
        right = std::min(right, container->width() - 1 - margin);
    }
    place.setRight(std::max(place.right(), right));
    return place;
}

}  // namespace

double ScreenScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 0.0;
    if (!(dpi > 0.0)) return 1.0;
    return dpi / kReferenceDpi;
}

QRect FormScale::ToPixels(const Bounds& bounds) const {
    const Bounds pixels = ToPixelBounds(bounds);
    return QRect(pixels.left, pixels.top, pixels.width, pixels.height);
}

QStringList FontFamilies(const std::string& name) {
    const QString declared = QString::fromStdString(name);
    if (name == "Arial")
        return {declared, QStringLiteral("Liberation Sans"), QStringLiteral("sans-serif")};
    if (name == "MS Sans Serif")
        return {declared, QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")};
    if (name == "Verdana")
        return {declared, QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")};
    return {declared, QStringLiteral("sans-serif")};
}

QFont ToQFont(const Font& font) {
    QFont out;
    out.setFamilies(FontFamilies(font.name));
    if (font.size > 0) out.setPointSizeF(font.size);
    out.setBold(font.bold);
    out.setItalic(font.italic);
    out.setUnderline(font.underline);
    return out;
}

QString AccessibleText(const std::string& caption) {
    const QString text = QtShownText(caption);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('&') && i + 1 < text.size()) {
            out += text[++i];  // "&&" is one ampersand; "&x" is x
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1Char(' ');
        } else {
            out += c;
        }
    }
    return out.simplified();
}

void PlaceWidget(const Control& control, QWidget& widget, const FormScale& scale) {
    QRect place = scale.ToPixels(control.GetBounds());
    if (auto* label = qobject_cast<QLabel*>(&widget); label && control.Kind() == ControlKind::Label)
        place = LabelPlace(control, *label, place);
    if (control.Kind() == ControlKind::CheckBox) place = CheckBoxPlace(widget, place);
    widget.setGeometry(place);
}

QWidget* CreateControlWidget(const Control& control, QWidget* parent, const FormScale& scale) {
    const ControlDesign& design = control.Layout();
    const QRect place = scale.ToPixels(design.bounds);
    QWidget* widget = nullptr;
    switch (control.Kind()) {
        case ControlKind::Label:
            widget = CreateLabel(control, parent);
            break;
        case ControlKind::ComboBox:
            widget = CreateComboBox(parent);
            break;
        case ControlKind::CheckBox:
            widget = CreateCheckBox(control, parent);
            break;
        case ControlKind::CommandButton:
            widget = CreateButton(control, parent);
            break;
        case ControlKind::Image:
        case ControlKind::PictureBox:
            widget = CreatePicture(control, parent);
            break;
        case ControlKind::Frame:
            widget = CreateFrame(control, parent, place);
            break;
        case ControlKind::Timer:
            return nullptr;
    }
    widget->setObjectName(QString::fromStdString(control.Name()));
    widget->setFont(ToQFont(control.EffectiveFont()));
    ApplyColours(control, *widget, QApplication::palette());
    PlaceWidget(control, *widget, scale);
    // A click on a control is the control's, never its container's.
    widget->setAttribute(Qt::WA_NoMousePropagation);
    if (control.TabIndex() < 0)
        widget->setFocusPolicy(Qt::NoFocus);
    else if (control.IsLink())
        widget->setFocusPolicy(Qt::StrongFocus);
    widget->setEnabled(control.Enabled());
    widget->setVisible(control.Visible());
    return widget;
}

}  // namespace gimbalo
