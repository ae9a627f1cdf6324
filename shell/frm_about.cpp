#include "shell/frm_about.h"

#include <limits>
#include <utility>

#include "core/maker.h"
#include "platform/common/picture_files.h"
#include "shell/information_commands.h"

namespace gimbalo {

namespace {

const Font kVerdana{"Verdana", 8.25};

FormDesign AboutDesign() {
    return FormDesign::Named("frmAbout")
        .Client(Unit::Twips, 6375, 3645)
        .WithFont(kVerdana)
        .Back(kWhite)
        .Border(FormBorder::FixedDialog)
        .Placed(StartPosition::CenterScreen)
        .Caption("About")
        .Icon(kProgramIconPicture)
        .TakesFocus();
}

}  // namespace

std::string VersionText(const ProductVersion& version) {
    return "Rel. " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.revision);
}

frmAbout::frmAbout(Platform& platform, std::function<void()> unload)
    : Form(AboutDesign()),
      imgTitle(*this, Control::Design("imgTitle")
                          .At(0, 0, 1155, 1125)
                          .Picture(kAboutTitlePicture)
                          .Describe(kProductName)),
      lblTitle(*this, Control::Design("lblTitle")
                          .At(1140, 330, 3240, 375)
                          .WithFont(Font("Verdana", 15.75, true))
                          .Fore(RGB(2, 92, 202))
                          .Caption("Gimbalo Free")),
      lblVersion(*this, Control::Design("lblVersion")
                            .At(4620, 510, 720, 195)
                            .WithFont(Font("Verdana", 8.25, true))
                            .Fore(RGB(128, 0, 0))
                            .Caption("Rel. 1.0")),
      Frame1(*this, Control::Design("Frame1").At(-60, 1140, 6495, 25)),
      Picture1(*this, Control::Design("Picture1").At(210, 1170, 5940, 2235).Back(kWhite)),
      Picture2(
          *this,
          Control::Design("Picture2").In(Picture1).At(60, kPanelStartTop, 5775, 4155).Back(kWhite)),
      lblDescription(*this, Control::Design("lblDescription")
                                .In(Picture2)
                                .At(900, 0, 3945, 1095)
                                .Align(Alignment::Center)
                                .WithFont(Font("Verdana", 9))
                                .Fore(RGB(40, 86, 147))
                                .Caption("Descrizione")),
      lblCopyright(*this, Control::Design("lblCopyright")
                              .In(Picture2)
                              .At(690, 1320, 4380, 435)
                              .Align(Alignment::Center)
                              .Caption(kCreditLine)),
      Image1(*this, Control::Design("Image1")
                        .In(Picture2)
                        .At(1740, 2040, 2250, 1800)
                        .Picture(kAboutPanelPicture)
                        .Decorative()),
      lblHomePage(*this, Control::Design("lblHomePage")
                             .In(Picture2)
                             .At(1860, 3840, 3255, 255)
                             .WithFont(Font("Arial", 11.25, false, false, true))
                             .Fore(RGB(255, 0, 0))
                             .HandPointer()
                             .Tab(0)
                             .Caption(kHomePage)
                             .LinkTo(kHomePage)),
      lblHomePageCap(*this, Control::Design("lblHomePageCap")
                                .In(Picture2)
                                .At(720, 3870, 1050, 195)
                                .Caption("Home Page:")
                                .CaptionOf(lblHomePage)),
      platform_(platform),
      unload_(std::move(unload)) {
    Click = [this] { unload_(); };
    for (Control* closer :
         {static_cast<Control*>(&imgTitle), static_cast<Control*>(&lblTitle),
          static_cast<Control*>(&lblVersion), static_cast<Control*>(&lblDescription),
          static_cast<Control*>(&lblCopyright)})
        closer->Click = [this] { unload_(); };
    lblHomePage.Click = [this] { OpenHomePage(platform_); };
    Timer1.Tick = [this] { Timer1_Timer(); };
    // The title-bar close button and Escape unload the box as its clicks do.
    TitleBarClose = [this] { unload_(); };
    Escape = [this] { unload_(); };
}

void frmAbout::Form_Load() {
    Timer1.SetInterval(kAnimationInterval);
    Picture2.SetTop(kPanelStartTop);
    PauseTicks = 0;
}

void frmAbout::Form_Unload() {
    Timer1.SetInterval(0);
}

void frmAbout::Timer1_Timer() {
    // Credits being read, or a link about to be followed, hold still; they
    // go on from where they stopped.
    if (Picture1.PointerOver() || lblHomePage.HasFocus()) return;
    const auto viewport = static_cast<float>(Picture1.GetBounds().height);
    auto panel = static_cast<float>(Picture2.GetBounds().height);
    auto top = static_cast<float>(Picture2.GetBounds().top);
    if (viewport - panel < top) {
        Picture2.SetTop(Picture2.GetBounds().top - kPanelStep);
    } else {
        if (PauseTicks < std::numeric_limits<int16_t>::max()) ++PauseTicks;
        if (PauseTicks > kPanelRestTicks) Picture2.SetTop(Picture2.GetBounds().top - kPanelStep);
    }
    panel = static_cast<float>(Picture2.GetBounds().height);
    top = static_cast<float>(Picture2.GetBounds().top);
    if (top < -panel) {
        Picture2.SetTop(kPanelStartTop);
        PauseTicks = 0;
    }
}

}  // namespace gimbalo
