// The options dialog of the running program, on the X display: opened from
// the menu, laid out as declared, edited through its widgets, and saved.
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/maker.h"
#include "options/frm_opzioni.h"
#include "platform/common/picture_files.h"
#include "platform/linux/widget_factory.h"
#include "program_fixture.h"

namespace gimbalo {
namespace {

using namespace testing;  // the helpers of gui_test_support.h

class OptionsDialogOnDisplay : public testing::ProgramOnDisplay {
protected:
    void Open() {
        ASSERT_TRUE(program->RunMenuCommand("mnuDef"));
        dialog = TopLevel("frmOpzioni");
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(WaitUntil([this] { return dialog->isVisible(); }));
    }
    template <typename T = QWidget>
    T& Widget(const char* name) {
        T* found = Find<T>("frmOpzioni", name);
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }

    QWidget* dialog = nullptr;
};

TEST_F(OptionsDialogOnDisplay, ShowsTheDeclaredLayoutFontsAndTexts) {
    Open();
    const FormScale pixels(Unit::Pixels, ScreenScale());
    EXPECT_EQ(dialog->size(), pixels.ToPixels(Bounds{0, 0, 497, 312}).size());
    EXPECT_EQ(dialog->windowTitle(), QString("Gimbalo options - ") + testing::kPadName);

    struct Place {
        const char* name;
        Bounds bounds;
    };
    const Place places[] = {
        {"Image2", {16, 16, 158, 138}},   {"Label1", {188, 24, 173, 16}},
        {"Label6", {188, 144, 173, 16}},  {"Combo1", {372, 20, 105, 24}},
        {"Combo3", {372, 76, 105, 24}},   {"Combo4", {372, 108, 47, 24}},
        {"Combo5", {372, 140, 47, 24}},   {"Check2", {194, 190, 213, 19}},
        {"Check1", {194, 214, 213, 19}},  {"Label5", {14, 262, 227, 41}},
        {"Command1", {244, 262, 75, 33}}, {"Command3", {322, 262, 75, 33}},
        {"Command2", {400, 262, 75, 33}},
    };
    for (const Place& p : places)
        EXPECT_EQ(Widget(p.name).geometry(), pixels.ToPixels(p.bounds)) << p.name;

    struct Text {
        const char* name;
        QString shown;
    };
    const Text texts[] = {
        {"Label1", "Left mouse button"},
        {"Label4", "Pointer speed"},
        {"Label5", QString(kAuthorsLine) + "\nLanguage: English"},
    };
    for (const Text& t : texts) EXPECT_EQ(Widget<QLabel>(t.name).text(), t.shown) << t.name;
    EXPECT_EQ(Widget<QCheckBox>("Check2").text(), "Enable acceleration");
    EXPECT_TRUE(Widget<QCheckBox>("Check2").isChecked());
    EXPECT_FALSE(Widget<QCheckBox>("Check1").isChecked());
    EXPECT_EQ(Widget<QPushButton>("Command1").text(), "&OK");
    EXPECT_FALSE(Widget("Command3").isEnabled());
    auto& left = Widget<QComboBox>("Combo1");
    ASSERT_EQ(left.count(), testing::kPadButtons);
    EXPECT_EQ(left.itemText(3), "Button 4");
    EXPECT_EQ(left.currentText(), "Button 1");
    EXPECT_EQ(Widget<QComboBox>("Combo4").currentText(), "2");
    EXPECT_EQ(Widget<QComboBox>("Combo5").currentText(), "1");
    EXPECT_EQ(left.accessibleName(), "Left mouse button");

    // Credits in italic blue Arial (or its stand-in), captions in Arial.
    const QFont credits = Widget("Label5").font();
    EXPECT_TRUE(credits.italic());
    EXPECT_DOUBLE_EQ(credits.pointSizeF(), 9.0);
    EXPECT_TRUE(testing::ShowsFamily(credits, QStringLiteral("Arial")));
    EXPECT_EQ(Widget("Label5").palette().color(QPalette::WindowText), QColor(2, 92, 202));
    EXPECT_DOUBLE_EQ(Widget("Label1").font().pointSizeF(), 9.75);
    EXPECT_EQ(dialog->palette().color(QPalette::Window), QColor(255, 255, 255));
    // The program's icon, and the shipped hand over the lists and buttons.
    EXPECT_FALSE(dialog->windowIcon().isNull());
    for (const char* name : {"Combo1", "Combo5", "Check1", "Command2"}) {
        const QCursor hand = Widget(name).cursor();
        EXPECT_FALSE(hand.pixmap().isNull()) << name;
        EXPECT_EQ(hand.hotSpot(), QPoint(kHandHotSpotX, kHandHotSpotY)) << name;
    }
    EXPECT_EQ(Widget("Label1").cursor().shape(), Qt::ArrowCursor);

    EXPECT_TRUE(testing::SaveScreenshot(*dialog, "options_dialog"));
}

TEST_F(OptionsDialogOnDisplay, EditsMadeInTheWidgetsAreAppliedToTheSettingsFile) {
    Open();
    auto& left = Widget<QComboBox>("Combo1");
    auto& right = Widget<QComboBox>("Combo2");
    // The left button takes joystick button 2, which the right list shows:
    // the right list empties.
    ASSERT_TRUE(testing::PickInList(left, 1));
    EXPECT_EQ(left.currentText(), "Button 2");
    EXPECT_EQ(right.lineEdit()->text(), "");
    EXPECT_TRUE(Widget("Command3").isEnabled());

    // A speed that is not in the list, typed.
    QLineEdit& speed = *Widget<QComboBox>("Combo4").lineEdit();
    speed.selectAll();
    testing::Type(speed, "1.7");
    testing::Click(Widget("Check2"));  // acceleration off

    testing::Click(Widget("Command3"));  // Apply
    EXPECT_FALSE(Widget("Command3").isEnabled());
    const std::vector<std::string> expected = {"2", "0", "3", "1.7", "0", "0", "0", "English.lng"};
    EXPECT_EQ(SettingsLines(), expected);
    EXPECT_EQ(program->settings.LeftButton, 2);

    // OK hides the dialog; the menu shows the same one again.
    testing::Click(Widget("Command1"));
    EXPECT_FALSE(dialog->isVisible());
    QPointer<QWidget> same = dialog;
    Open();
    EXPECT_EQ(dialog, same.data());
    EXPECT_EQ(Widget<QComboBox>("Combo4").currentText(), "1.7");

    // The title-bar close button unloads it: the next Open loads it anew.
    dialog->close();
    FlushDeletes();
    EXPECT_EQ(program->OptionsDialog(), nullptr);
    EXPECT_TRUE(same.isNull());
}

}  // namespace
}  // namespace gimbalo
