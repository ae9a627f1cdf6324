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

std::string ReleaseCaption(const ProductVersion& version) {
    return "Rel. " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.revision);
}

frmAbout::frmAbout(Platform& platform, std::function<void()> unload)
    : Form(AboutDesign()),
      titlePicture(*this, Control::Design("imgTitle")
                              .At(0, 0, 1155, 1125)
                              .Picture(kAboutTitlePicture)
                              .Describe(kProductName)),
      titleLabel(*this, Control::Design("lblTitle")
                            .At(1140, 330, 3240, 375)
                            .WithFont(Font("Verdana", 15.75, true))
                            .Fore(RGB(2, 92, 202))
                            .Caption("Gimbalo Free")),
      versionLabel(*this, Control::Design("lblVersion")
                              .At(4620, 510, 720, 195)
                              .WithFont(Font("Verdana", 8.25, true))
                              .Fore(RGB(128, 0, 0))
                              .Caption("Rel. 1.0")),
      divider(*this, Control::Design("Frame1").At(-60, 1140, 6495, 25)),
      creditsView(*this, Control::Design("Picture1").At(210, 1170, 5940, 2235).Back(kWhite)),
      creditsPanel(*this, Control::Design("Picture2")
                              .In(creditsView)
                              .At(60, kPanelStartTop, 5775, 4155)
                              .Back(kWhite)),
      descriptionLabel(*this, Control::Design("lblDescription")
                                  .In(creditsPanel)
                                  .At(900, 0, 3945, 1095)
                                  .Align(Alignment::Center)
                                  .WithFont(Font("Verdana", 9))
                                  .Fore(RGB(40, 86, 147))
                                  .Caption("Descrizione")),
      copyrightLabel(*this, Control::Design("lblCopyright")
                                .In(creditsPanel)
                                .At(690, 1320, 4380, 435)
                                .Align(Alignment::Center)
                                .Caption(kCreditLine)),
      creditsPicture(*this, Control::Design("Image1")
                                .In(creditsPanel)
                                .At(1740, 2040, 2250, 1800)
                                .Picture(kAboutPanelPicture)
                                .Decorative()),
      homePageLink(*this, Control::Design("lblHomePage")
                              .In(creditsPanel)
                              .At(1860, 3840, 3255, 255)
                              .WithFont(Font("Arial", 11.25, false, false, true))
                              .Fore(RGB(255, 0, 0))
                              .HandPointer()
                              .Tab(0)
                              .Caption(kHomePage)
                              .LinkTo(kHomePage)),
      homePageCaption(*this, Control::Design("lblHomePageCap")
                                 .In(creditsPanel)
                                 .At(720, 3870, 1050, 195)
                                 .Caption("Home Page:")
                                 .CaptionOf(homePageLink)),
      platform_(platform),
      unload_(std::move(unload)) {
    Click = [this] { unload_(); };
    for (Control* closer :
         {static_cast<Control*>(&titlePicture), static_cast<Control*>(&titleLabel),
          static_cast<Control*>(&versionLabel), static_cast<Control*>(&descriptionLabel),
          static_cast<Control*>(&copyrightLabel)})
        closer->Click = [this] { unload_(); };
    homePageLink.Click = [this] { OpenHomePage(platform_); };
    animationTimer.Tick = [this] { Timer1_Timer(); };
    // The title-bar close button and Escape unload the box as its clicks do.
    TitleBarClose = [this] { unload_(); };
    Escape = [this] { unload_(); };
}

void frmAbout::Form_Load() {
    animationTimer.SetInterval(kAnimationInterval);
    creditsPanel.SetTop(kPanelStartTop);
    PauseTicks = 0;
}

void frmAbout::Form_Unload() {
    animationTimer.SetInterval(0);
}

void frmAbout::Timer1_Timer() {
    // Credits being read, or a link about to be followed, hold still; they
    // go on from where they stopped.
    if (creditsView.PointerOver() || homePageLink.HasFocus()) return;
    const auto viewport = static_cast<float>(creditsView.GetBounds().height);
    auto panel = static_cast<float>(creditsPanel.GetBounds().height);
    auto top = static_cast<float>(creditsPanel.GetBounds().top);
    if (viewport - panel < top) {
        creditsPanel.SetTop(creditsPanel.GetBounds().top - kPanelStep);
    } else {
        if (PauseTicks < std::numeric_limits<int16_t>::max()) ++PauseTicks;
        if (PauseTicks > kPanelRestTicks)
            creditsPanel.SetTop(creditsPanel.GetBounds().top - kPanelStep);
    }
    panel = static_cast<float>(creditsPanel.GetBounds().height);
    top = static_cast<float>(creditsPanel.GetBounds().top);
    if (top < -panel) {
        creditsPanel.SetTop(kPanelStartTop);
        PauseTicks = 0;
    }
}

}  // namespace gimbalo
