// The about box: title, version, description and credits, with a panel of
// credits that scrolls upwards in an endless cycle while the box is open.
#pragma once

#include <cstdint>
#include <string>

#include "platform/forms.h"
#include "platform/platform.h"

namespace gimbalo {

class Program;

// Where the scrolling panel starts, in twips below the viewport's top.
constexpr int kPanelStartTop = 2200;
// Period of the animation, in milliseconds.
constexpr int kAnimationInterval = 10;
// Twips the panel rises per tick, and ticks it rests at the resting point.
constexpr int kPanelStep = 10;
constexpr int kPanelRestTicks = 120;

// "Rel. " and the version as major.minor.revision.
std::string VersionText(const ProductVersion& version);

class frmAbout : public Form {
public:
    explicit frmAbout(Program& program);

    void Form_Load();
    void Form_Unload();
    void Timer1_Timer();

    int16_t PauseTicks = 0;

    Image imgTitle;
    Label lblTitle;
    Label lblVersion;
    Frame Frame1;
    PictureBox Picture1;
    PictureBox Picture2;
    Label lblDescription;
    Label lblCopyright;
    Image Image1;
    Label lblHomePage;  // a link: it takes focus, Enter or Space opens the page
    Label lblHomePageCap;
    Timer Timer1{*this, "Timer1"};

private:
    // A click that closes the box.
    void Close();

    Program& program_;
};

}  // namespace gimbalo
