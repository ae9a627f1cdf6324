// The generic Qt host: any declared form becomes a window of native widgets
// that follow the models, and what the user does reaches the models as the
// User* calls.
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "gui_test_support.h"
#include "platform/forms.h"
#include "platform/linux/form_colours.h"
#include "platform/linux/qt_text.h"
#include "platform/linux/widget_factory.h"

// After Qt: Xlib's macros would clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace gimbalo {
namespace {

using testing::Click;
using testing::Find;
using testing::FlushDeletes;
using testing::TopLevel;
using testing::WaitUntil;

constexpr Rgb kPanelColour = RGB(200, 220, 240);
constexpr Rgb kLinkColour = RGB(255, 0, 0);

// A form with one control of each kind that has a widget, in twips.
struct SampleForm : Form {
    SampleForm()
        : Form(FormDesign::Named("frmSample")
                   .Client(Unit::Twips, 6000, 4500)
                   .WithFont(Font("Verdana", 8.25))
                   .Back(kWhite)
                   .Placed(StartPosition::CenterScreen)
                   .Caption("Sample")) {}
    ComboBox cboName{*this, Control::Design("cboName")
                                .At(1800, 120, 1500, 360)
                                .WithFont(Font("MS Sans Serif", 9.75))
                                .HandPointer()
                                .Tab(1)};
    Label lblName{*this, Control::Design("lblName")
                             .At(150, 150, 1500, 300)
                             .WithFont(Font("Arial", 9.75))
                             .Align(Alignment::Right)
                             .Transparent()
                             .Caption("Na&me")
                             .CaptionOf(cboName)};
    CheckBox chkOn{*this,
                   Control::Design("chkOn").At(150, 600, 2000, 300).Tab(0).Caption("&Switch")};
    CommandButton cmdGo{*this,
                        Control::Design("cmdGo").At(3600, 120, 1125, 495).Tab(2).Caption("&Go")};
    Frame fraRule{*this, Control::Design("fraRule").At(-60, 1000, 6120, 25)};
    PictureBox picView{*this,
                       Control::Design("picView").At(150, 1200, 3000, 1500).Back(kPanelColour)};
    Label lblInside{*this, Control::Design("lblInside")
                               .In(picView)
                               .At(0, 1200, 1500, 600)
                               .Fore(kLinkColour)
                               .Caption("Line one\r\nLine two")};
    Label lblLink{*this, Control::Design("lblLink")
                             .In(picView)
                             .At(0, 0, 1500, 300)
                             .WithFont(Font("Arial", 11.25, false, false, true))
                             .HandPointer()
                             .Tab(3)
                             .Caption("Link")
                             .LinkTo("https://example.org/")};
};

// The host under test: a platform, a form loaded on it and shown.
class FormsHost : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display";
        std::string error;
        platform = testing::TestPlatform::Create(error);
        ASSERT_TRUE(platform) << error;
        platform->LoadForm(form);
        form.Show();
        window = TopLevel("frmSample");
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitUntil([this] { return window->isVisible(); }));
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
    QRect Scaled(const Bounds& twips) const {
        return FormScale(Unit::Twips, ScreenScale()).ToPixels(twips);
    }

    std::unique_ptr<testing::TestPlatform> platform;
    SampleForm form;
    QWidget* window = nullptr;
};

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
    const QSize client = Scaled({0, 0, 6000, 4500}).size();
    EXPECT_EQ(window->size(), client);
    EXPECT_EQ(window->minimumSize(), client);
    EXPECT_EQ(window->maximumSize(), client);
    EXPECT_EQ(window->windowTitle(), "Sample");
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
    struct Case {
        const char* name;
        const char* className;
        Control& control;
        QWidget* parent;
    };
    QWidget* panel = Find("frmSample", "picView");
    ASSERT_NE(panel, nullptr);
    const Case cases[] = {
        {"lblName", "QLabel", form.lblName, window},
        {"cboName", "QComboBox", form.cboName, window},
        {"chkOn", "QCheckBox", form.chkOn, window},
        {"cmdGo", "QPushButton", form.cmdGo, window},
        {"fraRule", "QFrame", form.fraRule, window},
        {"picView", "QLabel", form.picView, window},
        {"lblInside", "QLabel", form.lblInside, panel},
        {"lblLink", "QLabel", form.lblLink, panel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget& widget = Widget(c.name);
        EXPECT_STREQ(widget.metaObject()->className(), c.className);
        EXPECT_EQ(widget.parentWidget(), c.parent);
        EXPECT_EQ(widget.geometry(), Scaled(c.control.GetBounds()));
        EXPECT_TRUE(widget.isVisible());
    }
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
    EXPECT_EQ(inside, ToQColor(ReadableOn(kLinkColour, kPanelColour)));
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

TEST_F(FormsHost, ModelChangesReachTheWidgetsWithoutComingBackAsUserInput) {
    int clicks = 0, changes = 0, toggles = 0;
    form.cboName.Click = [&] { ++clicks; };
    form.cboName.Change = [&] { ++changes; };
    form.chkOn.Click = [&] { ++toggles; };
    auto& combo = Widget<QComboBox>("cboName");

    for (const char* item : {"one", "two", "three"}) form.cboName.AddItem(item);
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(2), "three");
    form.cboName.SetListIndex(1);
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_EQ(combo.currentText(), "two");
    form.cboName.SetText("typed by the program");
    EXPECT_EQ(combo.lineEdit()->text(), "typed by the program");
    EXPECT_EQ(combo.currentIndex(), -1);
    form.cboName.SetListIndex(-1);
    EXPECT_EQ(combo.lineEdit()->text(), "");
    form.chkOn.SetValue(1);
    EXPECT_TRUE(Widget<QCheckBox>("chkOn").isChecked());
    // Only the model's own events ran: one Click for the selection, one
    // Change for each text change, one Click for the tick.
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(toggles, 1);

    form.cmdGo.SetEnabled(false);
    EXPECT_FALSE(Widget("cmdGo").isEnabled());
    form.lblName.SetVisible(false);
    EXPECT_FALSE(Widget("lblName").isVisible());
    form.chkOn.SetCaption("&Other");
    EXPECT_EQ(Widget<QCheckBox>("chkOn").text(), "&Other");
    form.lblInside.SetTop(-300);
    EXPECT_EQ(Widget("lblInside").geometry(), Scaled({0, -300, 1500, 600}));
    form.SetCaption("Renamed");
    EXPECT_EQ(window->windowTitle(), "Renamed");
    form.Hide();
    EXPECT_FALSE(window->isVisible());
    form.Show();
    EXPECT_TRUE(window->isVisible());
}

TEST_F(FormsHost, WhatTheUserDoesBecomesTheModelsUserCalls) {
    for (const char* item : {"one", "two", "three"}) form.cboName.AddItem(item);
    std::vector<std::string> events;
    form.cboName.Click = [&] { events.push_back("cboName click " + form.cboName.Text()); };
    form.cboName.Change = [&] { events.push_back("cboName change " + form.cboName.Text()); };
    form.chkOn.Click = [&] { events.push_back("chkOn " + std::to_string(form.chkOn.Value())); };
    form.cmdGo.Click = [&] { events.push_back("cmdGo"); };
    form.lblLink.Click = [&] { events.push_back("lblLink"); };
    form.picView.Click = [&] { events.push_back("picView"); };
    form.Click = [&] { events.push_back("form"); };

    auto& combo = Widget<QComboBox>("cboName");
    ASSERT_TRUE(testing::PickInList(combo, 2));
    EXPECT_EQ(form.cboName.ListIndex(), 2);
    combo.lineEdit()->setFocus();
    combo.lineEdit()->selectAll();
    testing::Type(*combo.lineEdit(), "on");
    EXPECT_EQ(form.cboName.Text(), "on");
    EXPECT_EQ(form.cboName.ListIndex(), -1);
    testing::Type(*combo.lineEdit(), "e");
    EXPECT_EQ(form.cboName.ListIndex(), 0);  // the text names an entry
    EXPECT_EQ(combo.lineEdit()->text(), "one");
    EXPECT_EQ(combo.lineEdit()->cursorPosition(), 3);
    testing::Key(*combo.lineEdit(), Qt::Key_Return);  // picks nothing
    EXPECT_EQ(combo.count(), 3);                      // and adds no entry
    Click(Widget("chkOn"));
    Click(Widget("cmdGo"));
    Click(Widget("lblLink"));
    Click(Widget("lblInside"));  // no handler: neither its panel nor the form hears it
    Click(*window, QPoint(window->width() - 5, window->height() - 5));
    form.cmdGo.SetEnabled(false);
    Click(Widget("cmdGo"));

    const std::vector<std::string> expected = {"cboName click three",
                                               "cboName change o",
                                               "cboName change on",
                                               "cboName change one",
                                               "chkOn 1",
                                               "cmdGo",
                                               "lblLink",
                                               "form"};
    EXPECT_EQ(events, expected);
    EXPECT_TRUE(Widget<QCheckBox>("chkOn").isChecked());
}

TEST_F(FormsHost, KeysFocusAndThePointerReachTheModel) {
    int clicks = 0, escapes = 0;
    form.lblLink.Click = [&] { ++clicks; };
    form.Escape = [&] { ++escapes; };
    QWidget& link = Widget("lblLink");
    EXPECT_EQ(link.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(Widget("lblInside").focusPolicy(), Qt::NoFocus);
    link.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return form.lblLink.HasFocus(); }));
    // Enter and Space on the link click it; a key held down clicks once.
    testing::Key(link, Qt::Key_Return);
    testing::Key(link, Qt::Key_Space);
    testing::RepeatedKeyPress(link, Qt::Key_Space, " ");
    testing::Key(link, Qt::Key_A, "a");
    EXPECT_EQ(clicks, 2);
    // Escape that no control takes is the form's.
    testing::Key(link, Qt::Key_Escape);
    EXPECT_EQ(escapes, 1);
    Widget("chkOn").setFocus();
    EXPECT_TRUE(WaitUntil([&] { return !form.lblLink.HasFocus(); }));

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&Widget("picView"), &enter);
    EXPECT_TRUE(form.picView.PointerOver());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&Widget("picView"), &leave);
    EXPECT_FALSE(form.picView.PointerOver());
}

TEST_F(FormsHost, ADoubleClickOnALabelIsOneClick) {
    int clicks = 0;
    form.lblLink.Click = [&] { ++clicks; };
    // As the window system delivers it: the second press comes as a double
    // click, and its release follows.
    QWidget& label = Widget("lblLink");
    const QPoint at = label.rect().center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        testing::SendMouse(label, type, at);
    EXPECT_EQ(clicks, 1);
}

TEST_F(FormsHost, TheTitleBarCloseAsksTheProgramAndTheWindowStaysUntilUnloaded) {
    int asked = 0;
    form.TitleBarClose = [&] { ++asked; };
    QPointer<QWidget> kept = window;
    window->close();
    FlushDeletes();
    EXPECT_EQ(asked, 1);
    ASSERT_FALSE(kept.isNull());
    EXPECT_TRUE(kept->isVisible());

    // The program unloads the form from inside a click of its own.
    QPointer<QWidget> label = &Widget("lblLink");
    form.lblLink.Click = [&] { platform->UnloadForm(form); };
    Click(*label);
    EXPECT_EQ(form.Observer(), nullptr);
    FlushDeletes();
    EXPECT_TRUE(kept.isNull());
    EXPECT_TRUE(label.isNull());
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
