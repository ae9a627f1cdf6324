// One suite for the form host of every desktop: a sample form with one
// control of each kind that has a native widget, and what every desktop's
// host does with it. Each backend's fixture shows the form on its desktop
// and says what the desktop shows and how its user's input arrives.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms.h"

namespace gimbalo {

constexpr Rgb kPanelColour = RGB(200, 220, 240);
// Too light to read on the panel as declared.
constexpr Rgb kInsideColour = RGB(255, 0, 0);
constexpr Rgb kLinkColour = RGB(0, 0, 160);
constexpr int kSampleWidth = 6000;
constexpr int kSampleHeight = 4500;

// In twips. The list's caption is declared after the list, as the options
// dialog does.
struct SampleForm : Form {
    SampleForm()
        : Form(FormDesign::Named("frmSample")
                   .Client(Unit::Twips, kSampleWidth, kSampleHeight)
                   .WithFont(Font("Verdana", 8.25))
                   .Back(kWhite)
                   .Placed(StartPosition::CenterScreen)
                   .Caption("Sample")) {}
    ComboBox cboName{*this, Control::Design("cboName")
                                .At(1800, 120, 1500, 360)
                                .WithFont(Font("MS Sans Serif", 9.75))
                                .HandPointer()
                                .Tab(1)};
    CheckBox chkOn{*this,
                   Control::Design("chkOn").At(150, 600, 2000, 300).Tab(0).Caption("&Switch")};
    CommandButton cmdGo{*this,
                        Control::Design("cmdGo").At(3600, 120, 1125, 495).Tab(2).Caption("&Go")};
    Frame fraRule{*this, Control::Design("fraRule").At(-60, 1000, 6120, 25)};
    PictureBox picView{
        *this,
        Control::Design("picView").At(150, 1200, 3000, 1500).Back(kPanelColour).Describe("A view")};
    Label lblInside{*this, Control::Design("lblInside")
                               .In(picView)
                               .At(0, 600, 1500, 600)
                               .Fore(kInsideColour)
                               .Caption("Line one\r\nLine two")};
    Label lblLink{*this, Control::Design("lblLink")
                             .In(picView)
                             .At(0, 0, 1500, 300)
                             .WithFont(Font("Arial", 11.25, false, false, true))
                             .Fore(kLinkColour)
                             .HandPointer()
                             .Tab(3)
                             .Caption("Link")
                             .LinkTo("https://example.org/")};
    Label lblName{*this, Control::Design("lblName")
                             .At(150, 150, 1500, 300)
                             .WithFont(Font("Arial", 9.75))
                             .Align(Alignment::Right)
                             .Transparent()
                             .Caption("Na&me")
                             .CaptionOf(cboName)};
};

// What a desktop shows of a control, or of the form's window.
struct Seen {
    bool exists = false;  // the widget it had when first shown is still there
    bool shown = false;
    bool enabled = false;
    bool ticked = false;
    std::string text;    // a caption as shown, a list's text part, the title
    Bounds place;        // in its parent (the window: its client area), in pixels
    std::string parent;  // the name of the control or form it is in
    std::vector<std::string> entries;
    int selected = -1;
    int caret = 0;  // where typing goes on in a list's text part
};

// What the user does on a control or (none) the window. PressAndLeave: let go
// outside the control. SelectText: a list's text part takes the focus, all
// selected. A key goes to the control, which has the focus. Click on the
// window: its background near the lower right corner; Close: its title bar's.
enum class Act { Click, DoubleClick, PressAndLeave, SelectText, Enter, Space, Escape, Close };

// The suite, on a backend's fixture that loads a SampleForm `form` on a fresh
// platform of its desktop, shows it, and answers Desktop(); Settle(), which
// lets the desktop deliver what is on its way, deferred deletes included;
// Pixels(declared) at the window's density; Look(control) (nullptr: the
// window); Do(control, act); and Type(text), where the focus is.
template <typename Backend>
class FormsHostConformance : public Backend {};
TYPED_TEST_SUITE_P(FormsHostConformance);

TYPED_TEST_P(FormsHostConformance, EachControlIsANativeWidgetWhereItIsDeclared) {
    SampleForm& form = this->form;
    const Seen window = this->Look(nullptr);
    EXPECT_EQ(window.text, "Sample");
    EXPECT_TRUE(window.shown);
    EXPECT_EQ(window.place, this->Pixels({0, 0, kSampleWidth, kSampleHeight}));
    for (const Control* control : form.Controls()) {
        SCOPED_TRACE(control->Name());
        const Seen seen = this->Look(control);
        EXPECT_EQ(seen.parent,
                  control->Container() != nullptr ? control->Container()->Name() : form.Name());
        EXPECT_TRUE(seen.shown);
        Bounds declared = this->Pixels(control->GetBounds());
        // A list may be as high as its font makes it.
        if (control->Kind() == ControlKind::ComboBox) declared.height = seen.place.height;
        EXPECT_EQ(seen.place, declared);
    }
}

TYPED_TEST_P(FormsHostConformance, ModelChangesReachTheWidgetsWithoutComingBackAsUserInput) {
    SampleForm& form = this->form;
    int clicks = 0, changes = 0, toggles = 0;
    form.cboName.Click = [&] { ++clicks; };
    form.cboName.Change = [&] { ++changes; };
    form.chkOn.Click = [&] { ++toggles; };
    const Control* list = &form.cboName;

    for (const char* entry : {"one", "two", "three"}) form.cboName.AddItem(entry);
    ASSERT_EQ(this->Look(list).entries.size(), 3u);
    EXPECT_EQ(this->Look(list).entries[2], "three");
    form.cboName.SetListIndex(1);
    EXPECT_EQ(this->Look(list).selected, 1);
    EXPECT_EQ(this->Look(list).text, "two");
    form.cboName.SetText("typed by the program");
    EXPECT_EQ(this->Look(list).text, "typed by the program");
    EXPECT_EQ(this->Look(list).selected, -1);
    form.cboName.SetListIndex(-1);
    EXPECT_EQ(this->Look(list).text, "");
    form.chkOn.SetValue(1);
    EXPECT_TRUE(this->Look(&form.chkOn).ticked);
    this->Settle();
    // Only the model's own events ran: one Click for the selection, one
    // Change for each text change, one Click for the tick.
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(toggles, 1);

    form.cmdGo.SetEnabled(false);
    EXPECT_FALSE(this->Look(&form.cmdGo).enabled);
    form.lblName.SetVisible(false);
    EXPECT_FALSE(this->Look(&form.lblName).shown);
    form.chkOn.SetCaption("&Other");
    EXPECT_EQ(this->Look(&form.chkOn).text, "&Other");
    form.lblInside.SetTop(-300);
    EXPECT_EQ(this->Look(&form.lblInside).place, this->Pixels({0, -300, 1500, 600}));
    form.SetCaption("Renamed");
    EXPECT_EQ(this->Look(nullptr).text, "Renamed");
    form.Hide();
    EXPECT_FALSE(this->Look(nullptr).shown);
    form.Show();
    EXPECT_TRUE(this->Look(nullptr).shown);
}

TYPED_TEST_P(FormsHostConformance, WhatTheUserDoesBecomesTheModelsUserCalls) {
    SampleForm& form = this->form;
    for (const char* entry : {"one", "two", "three"}) form.cboName.AddItem(entry);
    std::vector<std::string> events;
    form.cboName.Click = [&] { events.push_back("cboName click " + form.cboName.Text()); };
    form.cboName.Change = [&] { events.push_back("cboName change " + form.cboName.Text()); };
    form.chkOn.Click = [&] { events.push_back("chkOn " + std::to_string(form.chkOn.Value())); };
    form.cmdGo.Click = [&] { events.push_back("cmdGo"); };
    form.lblLink.Click = [&] { events.push_back("lblLink"); };
    form.picView.Click = [&] { events.push_back("picView"); };
    form.Click = [&] { events.push_back("form"); };
    form.Escape = [&] { events.push_back("escape"); };

    this->Do(&form.cboName, Act::SelectText);
    this->Type("on");
    EXPECT_EQ(form.cboName.Text(), "on");
    EXPECT_EQ(form.cboName.ListIndex(), -1);
    this->Type("e");
    EXPECT_EQ(form.cboName.ListIndex(), 0);  // the text names an entry
    EXPECT_EQ(this->Look(&form.cboName).text, "one");
    EXPECT_EQ(this->Look(&form.cboName).caret, 3);            // typing goes on at the end
    this->Do(&form.cboName, Act::Enter);                      // picks nothing
    EXPECT_EQ(this->Look(&form.cboName).entries.size(), 3u);  // and adds no entry

    this->Do(&form.chkOn, Act::Click);
    this->Do(&form.cmdGo, Act::Click);
    this->Do(&form.lblLink, Act::Click);
    // Enter and Space on a link that has the focus click it.
    this->Do(&form.lblLink, Act::Enter);
    this->Do(&form.lblLink, Act::Space);
    // No handler: neither its panel nor the form hears it.
    this->Do(&form.lblInside, Act::Click);
    // A double click on a label is one click; pressed on it and let go
    // elsewhere is none.
    this->Do(&form.lblLink, Act::DoubleClick);
    this->Do(&form.lblLink, Act::PressAndLeave);
    this->Do(nullptr, Act::Click);
    // Escape that no control takes is the form's.
    this->Do(&form.lblLink, Act::Escape);
    form.cmdGo.SetEnabled(false);
    this->Do(&form.cmdGo, Act::Click);
    this->Settle();

    const std::vector<std::string> expected = {"cboName change o",
                                               "cboName change on",
                                               "cboName change one",
                                               "chkOn 1",
                                               "cmdGo",
                                               "lblLink",
                                               "lblLink",
                                               "lblLink",
                                               "lblLink",
                                               "form",
                                               "escape"};
    EXPECT_EQ(events, expected);
    EXPECT_TRUE(this->Look(&form.chkOn).ticked);
}

TYPED_TEST_P(FormsHostConformance, TheTitleBarCloseAsksTheProgramAndTheWindowStaysUntilUnloaded) {
    SampleForm& form = this->form;
    int asked = 0;
    form.TitleBarClose = [&] { ++asked; };
    this->Do(nullptr, Act::Close);
    this->Settle();
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(this->Look(nullptr).exists);
    EXPECT_TRUE(this->Look(nullptr).shown);

    // The program unloads the form from inside a click of its own.
    form.lblLink.Click = [&] { this->Desktop().UnloadForm(form); };
    this->Do(&form.lblLink, Act::Click);
    EXPECT_EQ(form.Observer(), nullptr);
    this->Settle();
    EXPECT_FALSE(this->Look(nullptr).exists);
    EXPECT_FALSE(this->Look(&form.lblLink).exists);
}

REGISTER_TYPED_TEST_SUITE_P(FormsHostConformance, EachControlIsANativeWidgetWhereItIsDeclared,
                            ModelChangesReachTheWidgetsWithoutComingBackAsUserInput,
                            WhatTheUserDoesBecomesTheModelsUserCalls,
                            TheTitleBarCloseAsksTheProgramAndTheWindowStaysUntilUnloaded);

}  // namespace gimbalo
