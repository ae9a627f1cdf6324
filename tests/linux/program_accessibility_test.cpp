// Both forms of the running program in every shipped language, read as a
// screen reader reads them through Qt's accessibility interface, measured
// against their declared places, and looked at under dark palettes.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>

#include "lang/language_file.h"
#include "options/frm_opzioni.h"
#include "platform/linux/form_colours.h"
#include "platform/linux/qt_text.h"
#include "platform/linux/widget_factory.h"
#include "program_fixture.h"
#include "shell/frm_about.h"

namespace gimbalo {
namespace {

using testing::Find;
using testing::FlushDeletes;
using testing::TopLevel;
using testing::WaitUntil;

const char* const kLanguages[] = {"English.lng", "Italiano.lng", "Deutsch.lng", "Espanol.lng",
                                  "Francais.lng"};

// Controls whose captions come from the language file.
const std::set<std::string> kTranslated = {
    "Label1", "Label2",   "Label3",   "Label4",   "Label6",         "Label5",      "Check1",
    "Check2", "Command1", "Command2", "Command3", "lblDescription", "lblCopyright"};

class AccessibleForms : public testing::ProgramOnDisplay {
protected:
    void SetUp() override {
        ProgramOnDisplay::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // The credits hold still under the pointer: it rests elsewhere.
        platform->SetCursorPos(0, 0);
        platform->noteStartedPrograms = true;
    }

    // Loads `file` as the Language command does, and opens both forms anew.
    void OpenBothIn(const std::string& file) {
        program->UnloadOptionsDialog();
        program->UnloadAboutBox();
        FlushDeletes();
        program->settings.LangFileName = file;
        LoadLanguageFile(*platform, file, program->LangText);
        ASSERT_TRUE(program->RunMenuCommand("mnuDef"));
        ASSERT_TRUE(program->RunMenuCommand("mnuAbout"));
        for (const char* name : {"frmOpzioni", "frmAbout"})
            ASSERT_TRUE(WaitUntil([name] { return TopLevel(name) && TopLevel(name)->isVisible(); }))
                << name;
    }
    std::vector<Form*> Forms() const { return {program->OptionsDialog(), program->AboutBox()}; }
    // Both forms and the about box's credits, as the user sees them.
    static void SaveScreenshots(const std::string& tag) {
        EXPECT_TRUE(testing::SaveScreenshot(*TopLevel("frmOpzioni"), ("options_" + tag).c_str()));
        EXPECT_TRUE(testing::SaveScreenshot(*TopLevel("frmAbout"), ("about_" + tag).c_str()));
        EXPECT_TRUE(testing::SaveScreenshot(*Find("frmAbout", "Picture2"),
                                            ("about_" + tag + "_panel").c_str()));
    }

    // Calls `check` for every control of both forms that has a widget.
    void ForEachControl(const std::function<void(Control&, QWidget&, QWidget& window)>& check) {
        for (Form* form : Forms()) {
            QWidget* window = TopLevel(form->Name().c_str());
            ASSERT_NE(window, nullptr) << form->Name();
            for (Control* control : form->Controls()) {
                if (control->Kind() == ControlKind::Timer) continue;
                QWidget* widget = Find(form->Name().c_str(), control->Name().c_str());
                ASSERT_NE(widget, nullptr) << control->Name();
                SCOPED_TRACE(form->Name() + "." + control->Name());
                check(*control, *widget, *window);
            }
        }
    }
};

// Every interface under `top`, as a screen reader walks the tree.
std::set<QObject*> TreeUnder(QAccessibleInterface* top) {
    std::set<QObject*> seen;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            if (child == nullptr) continue;
            EXPECT_EQ(node->indexOfChild(child), i);
            seen.insert(child->object());
            walk(child);
        }
    };
    walk(top);
    return seen;
}

QAccessible::Role ExpectedRole(const Control& control) {
    if (control.IsLink()) return QAccessible::Link;
    static const std::map<ControlKind, QAccessible::Role> kRoles = {
        {ControlKind::Label, QAccessible::StaticText},
        {ControlKind::ComboBox, QAccessible::ComboBox},
        {ControlKind::CheckBox, QAccessible::CheckBox},
        {ControlKind::CommandButton, QAccessible::Button},
        {ControlKind::Image, QAccessible::Graphic},
        {ControlKind::PictureBox, QAccessible::Pane},
        {ControlKind::Frame, QAccessible::Separator}};
    return kRoles.at(control.Kind());
}

// What a screen reader should say for the control; nothing for a pane, a
// rule or decoration.
QString ExpectedName(const Control& control) {
    if (control.Layout().decorative) return QString();
    if (!control.Layout().description.empty()) return QtText(control.Layout().description);
    if (const Control* label = control.CaptionLabel()) return AccessibleText(label->Caption());
    return AccessibleText(control.Caption());
}

TEST_F(AccessibleForms, EveryControlReadsRightToAScreenReaderInEveryLanguage) {
    for (const char* language : kLanguages) {
        SCOPED_TRACE(language);
        OpenBothIn(language);
        std::map<QWidget*, std::set<QObject*>> trees;
        for (Form* form : Forms()) {
            QWidget* window = TopLevel(form->Name().c_str());
            QAccessibleInterface* top = QAccessible::queryAccessibleInterface(window);
            ASSERT_NE(top, nullptr);
            EXPECT_EQ(top->role(), QAccessible::Dialog) << form->Name();
            EXPECT_EQ(top->text(QAccessible::Name), QtText(form->Caption()));
            EXPECT_FALSE(top->text(QAccessible::Name).isEmpty()) << form->Name();
            trees[window] = TreeUnder(top);
        }
        ForEachControl([&](Control& control, QWidget& widget, QWidget& window) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&widget);
            ASSERT_NE(iface, nullptr);
            EXPECT_EQ(iface->role(), ExpectedRole(control));
            const QString name = iface->text(QAccessible::Name);
            EXPECT_EQ(name, ExpectedName(control));
            const bool silent = control.Layout().decorative ||
                                control.Kind() == ControlKind::PictureBox ||
                                control.Kind() == ControlKind::Frame;
            if (!silent) {
                EXPECT_FALSE(name.isEmpty()) << "a screen reader would say nothing";
            }
            // No name is the control's own name in the code.
            EXPECT_NE(name, QtText(control.Name()));
            // Decoration is left out of the tree; everything else is in it.
            EXPECT_EQ(trees[&window].count(&widget) > 0, !control.Layout().decorative);

            if (const Control* caption = control.CaptionLabel()) {
                QWidget* label =
                    Find(window.objectName().toUtf8().constData(), caption->Name().c_str());
                bool labelled = false;
                for (const auto& [other, relation] : iface->relations(QAccessible::Label))
                    labelled = labelled || other->object() == label;
                EXPECT_TRUE(labelled) << "labelled by " << caption->Name();
            }
            if (control.IsLink()) {
                EXPECT_EQ(iface->text(QAccessible::Description), QtText(control.Layout().link));
                EXPECT_TRUE(iface->state().focusable);
                QAccessibleActionInterface* actions = iface->actionInterface();
                ASSERT_NE(actions, nullptr);
                // A press follows the link, as a click does.
                actions->doAction(QAccessibleActionInterface::pressAction());
                ASSERT_FALSE(platform->startedPrograms.empty());
                EXPECT_EQ(platform->startedPrograms.back(), "explorer " + control.Layout().link);
            }
        });
        SaveScreenshots(std::string(language).substr(0, std::string(language).find('.')));
    }
}

TEST_F(AccessibleForms, EveryTranslatedCaptionFitsItsControlAsDeclared) {
    for (const char* language : kLanguages) {
        SCOPED_TRACE(language);
        OpenBothIn(language);
        ForEachControl([&](Control& control, QWidget& widget, QWidget& window) {
            const FormScale scale(control.Owner().Layout().unit, ScreenScale());
            const QRect declared = scale.ToPixels(control.GetBounds());
            const QRect inside = widget.parentWidget()->rect();
            if (auto* label = qobject_cast<QLabel*>(&widget);
                label != nullptr && control.Kind() == ControlKind::Label) {
                const bool wraps = label->wordWrap();
                if (kTranslated.count(control.Name()) > 0) {
                    if (wraps) {
                        EXPECT_LE(label->heightForWidth(declared.width()), declared.height())
                            << label->text().toStdString();
                    } else {
                        EXPECT_LE(label->sizeHint().width(), declared.width())
                            << label->text().toStdString();
                    }
                } else if (!wraps) {
                    // A fixed text may widen, but stays inside what holds it.
                    EXPECT_LE(label->sizeHint().width(), label->width());
                    EXPECT_TRUE(inside.contains(label->geometry()));
                }
            } else if (auto* box = qobject_cast<QCheckBox*>(&widget)) {
                // It may grow to the right, inside the form.
                EXPECT_LE(box->sizeHint().width(), box->width()) << box->text().toStdString();
                EXPECT_EQ(box->geometry().topLeft(), declared.topLeft());
                EXPECT_EQ(box->height(), declared.height());
                EXPECT_TRUE(inside.contains(box->geometry()));
            } else if (auto* button = qobject_cast<QPushButton*>(&widget)) {
                QStyleOptionButton option;
                option.initFrom(button);
                const int frame = button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option);
                const int text =
                    button->fontMetrics().horizontalAdvance(AccessibleText(control.Caption()));
                EXPECT_LE(text + 2 * frame, declared.width()) << button->text().toStdString();
            }
            (void)window;
        });
    }
}

// Pixels of `image` inside `area` (in the widget's own pixels, which a
// scaled screen multiplies): the background is the commonest colour, the
// text the one that differs from it most.
double TextContrastIn(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    const double ratio = image.devicePixelRatio();
    const QRect scaled(
        QPoint(static_cast<int>(area.left() * ratio), static_cast<int>(area.top() * ratio)),
        QSize(static_cast<int>(area.width() * ratio), static_cast<int>(area.height() * ratio)));
    const QRect clipped = scaled.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x) ++counts[image.pixel(x, y)];
    if (counts.empty()) return 0;
    QRgb background = counts.begin()->first;
    for (const auto& [colour, count] : counts)
        if (count > counts[background]) background = colour;
    double most = 1;
    for (const auto& [colour, count] : counts)
        most = std::max(most,
                        ContrastRatio(FromQColor(QColor(colour)), FromQColor(QColor(background))));
    return most;
}

TEST_F(AccessibleForms, UnderDarkPalettesEveryTextStaysReadable) {
    struct Desktop {
        const char* name;
        QColor window;
        QColor text;
        QColor highlight;
    };
    const Desktop desktops[] = {
        {"dark", QColor(45, 45, 45), QColor(235, 235, 235), QColor(42, 130, 218)},
        {"high_contrast", QColor(0, 0, 0), QColor(255, 255, 0), QColor(0, 255, 255)},
        {"white_text", QColor(30, 30, 60), QColor(255, 255, 255), QColor(255, 255, 255)},
    };
    const QPalette before = QApplication::palette();
    for (const Desktop& desktop : desktops) {
        SCOPED_TRACE(desktop.name);
        QPalette palette;
        palette.setColor(QPalette::Window, desktop.window);
        palette.setColor(QPalette::Base, desktop.window.darker(120));
        palette.setColor(QPalette::Button, desktop.window.lighter(130));
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                         QPalette::HighlightedText})
            palette.setColor(role, desktop.text);
        palette.setColor(QPalette::Highlight, desktop.highlight);
        QApplication::setPalette(palette);
        OpenBothIn("English.lng");

        const QImage options = TopLevel("frmOpzioni")->grab().toImage();
        QWidget* panel = Find("frmAbout", "Picture2");
        const QImage about = TopLevel("frmAbout")->grab().toImage();
        const QImage credits = panel->grab().toImage();
        ForEachControl([&](Control& control, QWidget& widget, QWidget& window) {
            if (control.Kind() != ControlKind::Label && control.Kind() != ControlKind::CheckBox)
                return;
            QRect area(widget.mapTo(&window, QPoint(0, 0)), widget.size());
            const QImage* shot = window.objectName() == "frmOpzioni" ? &options : &about;
            if (widget.parentWidget() == panel) {
                area = widget.geometry();
                shot = &credits;
            }
            if (auto* box = qobject_cast<QCheckBox*>(&widget)) {
                // The text, not the tick box.
                QStyleOptionButton option;
                option.initFrom(box);
                option.text = box->text();
                const QRect text =
                    box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
                area = QRect(area.topLeft() + text.topLeft(), text.size());
            }
            EXPECT_GE(TextContrastIn(*shot, area), kTextContrast);
        });
        std::string tag = desktop.name;
        if (const char* factor = std::getenv("QT_SCALE_FACTOR")) tag += std::string("_x") + factor;
        SaveScreenshots(tag);
    }
    // A change of the desktop's colours reaches the forms already open.
    QApplication::setPalette(before);
    QWidget* box = Find("frmOpzioni", "Check1");
    EXPECT_TRUE(WaitUntil([&] {
        return box->palette().color(QPalette::WindowText) == before.color(QPalette::Text);
    }));
}

// Larger text by a scaled screen, as a user with low vision sets it: the
// tests above again, each in a fresh copy of the test program.
TEST(AccessibleFormsScaled, TextsFitAndStayReadableAtScaleFactorsOneAndAHalfAndTwo) {
    if (testing::InTestChild()) GTEST_SKIP() << "run by its parent only";
    if (!testing::HaveDisplay()) GTEST_SKIP() << "no X display";
    for (const char* factor : {"1.5", "2"}) {
        for (const char* test : {"AccessibleForms.EveryTranslatedCaptionFitsItsControlAsDeclared",
                                 "AccessibleForms.UnderDarkPalettesEveryTextStaysReadable"}) {
            const int status =
                testing::RunTestInChild(test, {std::string("QT_SCALE_FACTOR=") + factor});
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << test << " at scale factor " << factor << ": status " << status;
        }
    }
}

TEST_F(AccessibleForms, OpeningAShownFormAgainBringsItToTheFront) {
    OpenBothIn("English.lng");
    QWidget* options = TopLevel("frmOpzioni");
    QWidget* about = TopLevel("frmAbout");
    ASSERT_TRUE(WaitUntil([about] { return about->isActiveWindow(); }));
    ASSERT_TRUE(program->RunMenuCommand("mnuDef"));
    EXPECT_TRUE(WaitUntil([options] { return options->isActiveWindow(); }));
    ASSERT_TRUE(program->RunMenuCommand("mnuAbout"));
    EXPECT_TRUE(WaitUntil([about] { return about->isActiveWindow(); }));
}

}  // namespace
}  // namespace gimbalo
