// The about box: title, version, description and credits, with a panel of
// credits that scrolls upwards in an endless cycle while the box is open.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/forms.h"
#include "platform/platform.h"

namespace gimbalo {

// Where the scrolling panel starts, in twips below the viewport's top.
constexpr int kPanelStartTop = 2200;
// Period of the animation, in milliseconds.
constexpr int kAnimationInterval = 10;
// Twips the panel rises per tick, and ticks it rests at the resting point.
constexpr int kPanelStep = 10;
constexpr int kPanelRestTicks = 120;

// "Rel. " and the version as major.minor.revision.
std::string ReleaseCaption(const ProductVersion& version);

class frmAbout : public Form {
public:
    // `unload` runs when a click, Escape or the title bar closes the box: its
    // owner unloads it.
    frmAbout(Platform& platform, std::function<void()> unload);

    void Form_Load();
    void Form_Unload();
    // One step of the scrolling credits; none while the pointer rests on
    // them or the link has the focus.
    void Timer1_Timer();

    int16_t PauseTicks = 0;

    Image titlePicture;
    Label titleLabel;
    Label versionLabel;
    Frame divider;
    PictureBox creditsView;
    PictureBox creditsPanel;
    Label descriptionLabel;
    Label copyrightLabel;
    Image creditsPicture;
    Label homePageLink;  // a link: it takes focus, Enter or Space opens the page
    Label homePageCaption;
    Timer animationTimer{*this, "Timer1"};

private:
    Platform& platform_;
    std::function<void()> unload_;
};

}  // namespace gimbalo
