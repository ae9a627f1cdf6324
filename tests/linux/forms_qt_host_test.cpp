// The generic Qt host: the conformance suite every desktop's host passes
// (tests/conformance), run on Qt, and what only Qt shows.
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui_test_support.h"
#include "platform/forms.h"
#include "platform/linux/form_colours.h"
#include "platform/linux/qt_text.h"
#include "platform/linux/widget_factory.h"
#include "tests/conformance/form_host_conformance.h"

// After Qt: Xlib's macros would clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace gimbalo {
namespace {

using namespace testing;  // the helpers of gui_test_support.h

// The sample form on the X display, as Qt holds its window and widgets.
class FormsHost : public ::testing::Test {
protected:
    void SetUp() override {
        testing::StartOnDisplay(platform);
        if (!platform) return;
        platform->LoadForm(form);
        form.Show();
        window = TopLevel("frmSample");
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitUntil([this] { return window->isVisible(); }));
        for (Control* control : form.Controls())
            made[control] = Find("frmSample", control->Name().c_str());
    }
    void TearDown() override {
        if (platform) platform->UnloadForm(form);
    }

    template <typename T = QWidget>
    T& Widget(const char* name) {
        T* found = Find<T>("frmSample", name);
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    static QRect Scaled(const Bounds& twips) {
        return FormScale(Unit::Twips, ScreenScale()).ToPixels(twips);
    }
    static Bounds Of(const QRect& rect) {
        return {rect.x(), rect.y(), rect.width(), rect.height()};
    }

    // -- what the conformance suite asks of a desktop --
    Platform& Desktop() { return *platform; }
    void Settle() { FlushDeletes(); }
    Bounds Pixels(const Bounds& declared) { return Of(Scaled(declared)); }
    Seen Look(const Control* control) {
        QWidget* widget = control != nullptr ? made[control].data() : window.data();
        if (widget == nullptr) return {};
        auto* list = qobject_cast<QComboBox*>(widget);
        const QObject* text = list != nullptr ? list->lineEdit() : widget;
        Seen seen{.exists = true,
                  .shown = widget->isVisible(),
                  .enabled = widget->isEnabled(),
                  .ticked = widget->property("checked").toBool(),
                  .text = text->property(control != nullptr ? "text" : "windowTitle")
                              .toString()
                              .toStdString(),
                  .place = Of(control != nullptr ? widget->geometry() : widget->rect()),
                  .parent = widget->parentWidget() != nullptr
                                ? widget->parentWidget()->objectName().toStdString()
                                : "",
                  .entries = {},
                  .selected = list != nullptr ? list->currentIndex() : -1,
                  .caret = list != nullptr ? list->lineEdit()->cursorPosition() : 0};
        for (int i = 0; list != nullptr && i < list->count(); ++i)
            seen.entries.push_back(list->itemText(i).toStdString());
        return seen;
    }
    void Do(const Control* control, Act act) {
        QWidget& widget = control != nullptr ? *made[control] : *window;
        auto* list = qobject_cast<QComboBox*>(&widget);
        QWidget& keys = list != nullptr ? *list->lineEdit() : widget;
        const QPoint middle = widget.rect().center();
        switch (act) {
            case Act::Click:
                return testing::Click(
                    widget,
                    control != nullptr ? middle : QPoint(widget.width() - 5, widget.height() - 5));
            case Act::DoubleClick:
                // As the window system delivers it: the second press comes
                // as a double click, and its release follows.
                for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                          QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
                    testing::SendMouse(widget, type, middle);
                return;
            case Act::PressAndLeave:
                testing::SendMouse(widget, QEvent::MouseButtonPress, middle);
                return testing::SendMouse(widget, QEvent::MouseButtonRelease, QPoint(-50, -50));
            case Act::SelectText:
                typing = &keys;
                keys.setFocus();
                return list->lineEdit()->selectAll();
            case Act::Close:
                widget.close();
                return;
            default:  // a key
                return testing::Key(keys,
                                    act == Act::Enter   ? Qt::Key_Return
                                    : act == Act::Space ? Qt::Key_Space
                                                        : Qt::Key_Escape,
                                    act == Act::Space ? " " : "");
        }
    }
    void Type(const std::string& text) { testing::Type(*typing, QString::fromStdString(text)); }

    std::unique_ptr<testing::TestPlatform> platform;
    SampleForm form;
    QPointer<QWidget> window;
    std::map<const Control*, QPointer<QWidget>> made;  // as first shown
    QPointer<QWidget> typing;                          // where SelectText put the focus
};

INSTANTIATE_TYPED_TEST_SUITE_P(Qt, FormsHostConformance, FormsHost);

// _NET_WM_STATE of a top-level window, as the window manager reads it.
std::vector<std::string> WindowStates(QWidget& window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11->display();
    std::vector<std::string> names;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    if (XGetWindowProperty(display, static_cast<Window>(window.winId()), state, 0, 64, False,
                           XA_ATOM, &type, &format, &count, &after, &data) != Success)
        return names;
    for (unsigned long i = 0; data != nullptr && i < count; ++i) {
        char* name = XGetAtomName(display, reinterpret_cast<Atom*>(data)[i]);
        names.emplace_back(name);
        XFree(name);
    }
    if (data != nullptr) XFree(data);
    return names;
}

TEST_F(FormsHost, TheWindowIsAFixedDialogOutOfTheTaskBarCentredOnTheScreen) {
    const QSize client = Scaled({0, 0, kSampleWidth, kSampleHeight}).size();
    EXPECT_EQ(window->minimumSize(), client);
    EXPECT_EQ(window->maximumSize(), client);
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(255, 255, 255));
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((window->geometry().center() - centre).manhattanLength(), 2);
    const std::vector<std::string> states = WindowStates(*window);
    EXPECT_NE(std::find(states.begin(), states.end(), "_NET_WM_STATE_SKIP_TASKBAR"), states.end());
}

TEST_F(FormsHost, EachControlIsANativeWidgetWhereItIsDeclared) {
    const std::pair<const char*, const char*> classes[] = {
        {"lblName", "QLabel"},    {"cboName", "QComboBox"}, {"chkOn", "QCheckBox"},
        {"cmdGo", "QPushButton"}, {"fraRule", "QFrame"},    {"picView", "QLabel"},
        {"lblInside", "QLabel"},  {"lblLink", "QLabel"}};
    for (const auto& [name, className] : classes)
        EXPECT_STREQ(Widget(name).metaObject()->className(), className) << name;
    // A list keeps its declared height.
    EXPECT_EQ(Widget("cboName").geometry(), Scaled(form.cboName.GetBounds()));
    // A frame a few pixels high is a rule across the window.
    EXPECT_EQ(Widget<QFrame>("fraRule").frameShape(), QFrame::HLine);
    EXPECT_EQ(Widget("fraRule").geometry().left(), -4);
}

TEST_F(FormsHost, CaptionsFontsAndColoursAreTheDeclaredOnes) {
    // Labels show their text as written; CR LF breaks the line.
    EXPECT_EQ(Widget<QLabel>("lblName").text(), "Na&me");
    EXPECT_EQ(Widget<QLabel>("lblInside").text(), "Line one\nLine two");
    EXPECT_TRUE(Widget<QLabel>("lblInside").wordWrap());
    EXPECT_EQ(Widget<QLabel>("lblName").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(Widget<QPushButton>("cmdGo").text(), "&Go");
    EXPECT_FALSE(Widget<QPushButton>("cmdGo").autoDefault());

    struct FontCase {
        const char* name;
        const char* family;  // the declared one, or its stand-in
        double points;
        bool underline;
    };
    const FontCase fonts[] = {
        {"lblName", "Arial", 9.75, false},
        {"cboName", "Arial", 9.75, false},
        {"chkOn", "Verdana", 8.25, false},  // the form's own font
        {"lblLink", "Arial", 11.25, true},
    };
    for (const FontCase& f : fonts) {
        SCOPED_TRACE(f.name);
        const QFont font = Widget(f.name).font();
        EXPECT_TRUE(testing::ShowsFamily(font, QString::fromLatin1(f.family)));
        EXPECT_DOUBLE_EQ(font.pointSizeF(), f.points);
        EXPECT_EQ(font.underline(), f.underline);
    }
    // The declared red, darkened just enough to be read on the panel.
    const QColor inside = Widget("lblInside").palette().color(QPalette::WindowText);
    EXPECT_EQ(inside, ToQColor(ReadableOn(kInsideColour, kPanelColour)));
    EXPECT_GE(ContrastRatio(FromQColor(inside), kPanelColour), kTextContrast);
    EXPECT_EQ(inside.green(), 0);
    EXPECT_TRUE(Widget("picView").autoFillBackground());
    EXPECT_EQ(Widget("picView").palette().color(QPalette::Window), QColor(200, 220, 240));
    EXPECT_FALSE(Widget("lblName").autoFillBackground());  // transparent
}

TEST_F(FormsHost, AOneLineLabelWidensAwayFromItsAlignmentInsteadOfWrapping) {
    // lblName is right-aligned and one line high.
    auto& label = Widget<QLabel>("lblName");
    const QRect declared = Scaled(form.lblName.GetBounds());
    form.lblName.SetCaption("A caption much wider than the place it was given");
    EXPECT_FALSE(label.wordWrap());
    EXPECT_EQ(label.geometry().right(), declared.right());
    EXPECT_EQ(label.geometry().top(), declared.top());
    EXPECT_GE(label.width(), label.fontMetrics().horizontalAdvance(label.text()));
    form.lblName.SetCaption("Short");
    EXPECT_EQ(label.geometry(), declared);
    // Text of several lines wraps in its place as declared.
    EXPECT_TRUE(Widget<QLabel>("lblInside").wordWrap());
    EXPECT_EQ(Widget("lblInside").geometry(), Scaled(form.lblInside.GetBounds()));
}

TEST_F(FormsHost, TabOrderPointerAndAccessibleNamesFollowTheDeclaration) {
    // Declared order: chkOn (0), cboName (1), cmdGo (2); labels take no focus.
    QWidget& check = Widget("chkOn");
    auto& combo = Widget<QComboBox>("cboName");
    QWidget* afterCheck = check.nextInFocusChain();
    EXPECT_TRUE(afterCheck == &combo || afterCheck == combo.lineEdit());
    QWidget* afterCombo = combo.lineEdit()->nextInFocusChain();
    EXPECT_EQ(afterCombo, &Widget("cmdGo"));
    EXPECT_EQ(Widget("lblName").focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(Widget("picView").focusPolicy(), Qt::NoFocus);

    // The shipped hand, or Qt's, over the list (its text part too) and the
    // link; the default elsewhere.
    for (QWidget* hand : {static_cast<QWidget*>(&combo), static_cast<QWidget*>(combo.lineEdit()),
                          &Widget("lblLink")})
        EXPECT_TRUE(hand->testAttribute(Qt::WA_SetCursor)) << hand->objectName().toStdString();
    EXPECT_FALSE(Widget("lblName").testAttribute(Qt::WA_SetCursor));

    // A list is named after the label declared as its caption, also after
    // the label changes, and the label's access key leads to it.
    EXPECT_EQ(Widget<QLabel>("lblName").buddy(), &combo);
    EXPECT_EQ(combo.accessibleName(), "Name");
    EXPECT_EQ(Widget("chkOn").accessibleName(), "Switch");
    form.lblName.SetCaption("&Full name");
    EXPECT_EQ(combo.accessibleName(), "Full name");
    EXPECT_EQ(Widget<QLabel>("lblName").text(), "&Full name");
}

TEST_F(FormsHost, KeysFocusAndThePointerReachTheModel) {
    // An entry picked from the drop-down part clicks the list.
    for (const char* item : {"one", "two", "three"}) form.cboName.AddItem(item);
    std::string picked;
    form.cboName.Click = [&] { picked += form.cboName.Text(); };
    ASSERT_TRUE(testing::PickInList(Widget<QComboBox>("cboName"), 2));
    EXPECT_EQ(form.cboName.ListIndex(), 2);
    EXPECT_EQ(picked, "three");
    int clicks = 0;
    form.lblLink.Click = [&] { ++clicks; };
    QWidget& link = Widget("lblLink");
    EXPECT_EQ(link.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(Widget("lblInside").focusPolicy(), Qt::NoFocus);
    link.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return form.lblLink.HasFocus(); }));
    // A key held down clicks once, at its first press; other keys click nothing.
    testing::RepeatedKeyPress(link, Qt::Key_Space, " ");
    testing::Key(link, Qt::Key_A, "a");
    EXPECT_EQ(clicks, 0);
    Widget("chkOn").setFocus();
    EXPECT_TRUE(WaitUntil([&] { return !form.lblLink.HasFocus(); }));

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&Widget("picView"), &enter);
    EXPECT_TRUE(form.picView.PointerOver());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&Widget("picView"), &leave);
    EXPECT_FALSE(form.picView.PointerOver());
}

TEST(FormsScale, PlacesFollowTheUnitAndTheScreensDpiWithoutGapsBetweenNeighbours) {
    struct Case {
        const char* name;
        Unit unit;
        double screenScale;
        Bounds declared;
        QRect pixels;
    };
    const Case cases[] = {
        {"twips at 96 DPI", Unit::Twips, 1.0, {1140, 330, 3240, 375}, {76, 22, 216, 25}},
        {"pixels at 96 DPI", Unit::Pixels, 1.0, {372, 20, 105, 24}, {372, 20, 105, 24}},
        {"pixels at 120 DPI", Unit::Pixels, 1.25, {372, 20, 105, 24}, {465, 25, 131, 30}},
        {"twips left of the window", Unit::Twips, 1.0, {-60, 1140, 6495, 25}, {-4, 76, 433, 2}},
        {"pixels at 144 DPI", Unit::Pixels, 1.5, {244, 262, 75, 33}, {366, 393, 113, 50}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormScale(c.unit, c.screenScale).ToPixels(c.declared), c.pixels) << c.name;
    // Neighbours that touch as declared still touch once scaled.
    const FormScale odd(Unit::Pixels, 1.3);
    const QRect first = odd.ToPixels(Bounds{244, 262, 75, 33});
    const QRect second = odd.ToPixels(Bounds{319, 262, 75, 33});
    EXPECT_EQ(first.right() + 1, second.left());
}

TEST(FormsText, CaptionsBecomeShownAndSpokenText) {
    struct Case {
        std::string caption;
        QString shown;
        QString spoken;
    };
    const Case cases[] = {
        {"&Ok", "&Ok", "Ok"},
        {"Save && go", "Save && go", "Save & go"},
        {"Line one\r\nLine two", "Line one\nLine two", "Line one Line two"},
        {"Credits\rLanguage", "Credits\nLanguage", "Credits Language"},
        {"Velocit\xC3\xA0", QString::fromUtf8("Velocit\xC3\xA0"),
         QString::fromUtf8("Velocit\xC3\xA0")},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QtShownText(c.caption), c.shown) << c.caption;
        EXPECT_EQ(AccessibleText(c.caption), c.spoken) << c.caption;
    }
}

TEST(FormsHostHidden, AFormNeverShownGetsNoWindow) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    struct HiddenForm : Form {
        HiddenForm() : Form(FormDesign::Named("frmHidden").Border(FormBorder::Sizable)) {}
        Timer Timer1{*this, "Timer1"};
        Label Label1{*this, Control::Design("Label1").Hidden()};
        Menu PopUp{*this, "PopUp", "Hidden"};
        MenuItem mnuOne{PopUp, "mnuOne", "&One"};
    } form;
    platform->LoadForm(form);
    form.Label1.SetCaption("1");
    form.Hide();
    EXPECT_EQ(TopLevel("frmHidden"), nullptr);
    form.Show();
    EXPECT_NE(TopLevel("frmHidden"), nullptr);
    platform->UnloadForm(form);
    FlushDeletes();
    EXPECT_EQ(TopLevel("frmHidden"), nullptr);
}

TEST(FormsHostEnd, AWindowUnloadedLastGoesWithThePlatform) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    struct LastForm : Form {
        LastForm() : Form(FormDesign::Named("frmLast")) {}
    } form;
    platform->LoadForm(form);
    form.Show();
    QPointer<QWidget> window = TopLevel("frmLast");
    ASSERT_FALSE(window.isNull());
    // Unloaded with no event loop to run after it, as at the program's end.
    platform->UnloadForm(form);
    platform.reset();
    EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace gimbalo
