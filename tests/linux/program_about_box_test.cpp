// The about box of the running program, on the X display: centred, its
// credits panel scrolling inside the viewport, and closed by the clicks
// that close it.
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "platform/linux/widget_factory.h"
#include "program_fixture.h"
#include "shell/frm_about.h"

namespace gimbalo {
namespace {

using testing::Click;
using testing::Find;
using testing::FlushDeletes;
using testing::TopLevel;
using testing::WaitUntil;

class AboutBoxOnDisplay : public testing::ProgramOnDisplay {};

TEST_F(AboutBoxOnDisplay, TheAboutBoxScrollsItsCreditsAndClosesOnTheTitle) {
    // The credits hold still under the pointer: it rests elsewhere.
    platform->SetCursorPos(0, 0);
    ASSERT_TRUE(program->RunMenuCommand("mnuAbout"));
    QWidget* box = TopLevel("frmAbout");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(WaitUntil([box] { return box->isVisible(); }));
    EXPECT_EQ(box->windowTitle(), "About Gimbalo");
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((box->geometry().center() - centre).manhattanLength(), 2);

    QWidget* viewport = Find("frmAbout", "Picture1");
    QWidget* panel = Find("frmAbout", "Picture2");
    ASSERT_NE(viewport, nullptr);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->parentWidget(), viewport);
    EXPECT_EQ(Find<QLabel>("frmAbout", "lblVersion")->text(), "Rel. 1.0.0");

    // The panel starts low in the viewport and rises while the box is open;
    // the widget follows the model's Top.
    const int start = panel->y();
    const FormScale twips(Unit::Twips, ScreenScale());
    EXPECT_EQ(start, twips.ToPixels(kPanelStartTop));
    frmAbout* about = program->AboutBox();
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(WaitUntil([panel] { return panel->y() <= 0; }));
    EXPECT_EQ(panel->y(), twips.ToPixels(about->creditsPanel.GetBounds().top));
    EXPECT_TRUE(testing::SaveScreenshot(*box, "about_box"));
    EXPECT_TRUE(testing::SaveScreenshot(*panel, "about_box_panel"));  // all of it, unclipped

    // The "Home Page:" caption and the panel's background keep the box open;
    // the title closes it.
    Click(*Find("frmAbout", "lblHomePageCap"));
    Click(*panel, QPoint(2, 2));
    EXPECT_NE(program->AboutBox(), nullptr);
    QPointer<QWidget> gone = box;
    Click(*Find("frmAbout", "lblTitle"));
    EXPECT_EQ(program->AboutBox(), nullptr);
    FlushDeletes();
    EXPECT_TRUE(gone.isNull());
}

}  // namespace
}  // namespace gimbalo
