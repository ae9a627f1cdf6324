// The control models as a host and a user drive them: which events fire, and
// which changes the host is told about.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/forms.h"
#include "platform/sim/sim_platform.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

// A host that writes down what it is told.
class RecordingHost : public ModelObserver {
public:
    void ControlChanged(Control& control, Property what) override {
        changes.emplace_back(control.Name(), what);
    }
    void FormChanged(Form& form, Property what) override {
        changes.emplace_back(form.Name(), what);
    }
    void MenuItemChanged(MenuItem& item, Property what) override {
        changes.emplace_back(item.Name(), what);
    }
    std::vector<std::pair<std::string, Property>> changes;
};

class TestForm : public Form {
public:
    TestForm() : Form("Test") {}
    PictureBox Box{*this, Control::Design("Box").At(0, 0, 100, 100)};
    ComboBox List{*this, Control::Design("List").In(Box).Tab(0)};
    CheckBox Tick{*this, Control::Design("Tick").Tab(1)};
    CommandButton Button{*this, Control::Design("Button").Caption("&Ok").Tab(2)};
    Timer Clock{*this, "Clock"};
    Menu Popup{*this, "Popup", "Popup"};
    MenuItem First{Popup, "First", "&First"};
    MenuItem Line{Popup, "Line", "-"};
    MenuItem Second{Popup, "Second", "Second"};
};

class FormModelTest : public ::testing::Test {
protected:
    FormModelTest() {
        form.SetObserver(&host);
        form.List.Click = [this] { events.push_back("Click"); };
        form.List.Change = [this] { events.push_back("Change"); };
        form.Tick.Click = [this] { events.push_back("TickClick"); };
        for (const char* item : {"a", "b", "c"}) form.List.AddItem(item);
        host.changes.clear();
    }
    TestForm form;
    RecordingHost host;
    std::vector<std::string> events;
};

TEST_F(FormModelTest, ComboBoxEvents) {
    struct Step {
        const char* what;
        std::function<void(ComboBox&)> act;
        std::vector<std::string> fired;
        std::string text;
        int index;
    } steps[] = {
        {"pick b", [](ComboBox& c) { c.UserPick(1); }, {"Click"}, "b", 1},
        {"select b again", [](ComboBox& c) { c.SetListIndex(1); }, {"Click"}, "b", 1},
        {"same text", [](ComboBox& c) { c.SetText("b"); }, {}, "b", 1},
        {"type a new text", [](ComboBox& c) { c.UserType("x"); }, {"Change"}, "x", -1},
        {"type an entry's text", [](ComboBox& c) { c.UserType("c"); }, {"Change"}, "c", 2},
        {"other letter case", [](ComboBox& c) { c.SetText("C"); }, {"Change"}, "C", -1},
        {"index out of range", [](ComboBox& c) { c.SetListIndex(3); }, {}, "C", -1},
        {"pick out of range", [](ComboBox& c) { c.UserPick(-1); }, {}, "C", -1},
        {"select nothing", [](ComboBox& c) { c.SetListIndex(-1); }, {"Change"}, "", -1},
        {"select nothing again", [](ComboBox& c) { c.SetListIndex(-1); }, {}, "", -1},
    };
    for (const Step& s : steps) {
        events.clear();
        s.act(form.List);
        EXPECT_EQ(events, s.fired) << s.what;
        EXPECT_EQ(form.List.Text(), s.text) << s.what;
        EXPECT_EQ(form.List.ListIndex(), s.index) << s.what;
    }
}

TEST_F(FormModelTest, CheckBoxFiresOnEveryChangeOfState) {
    form.Tick.SetValue(1);
    form.Tick.SetValue(1);
    form.Tick.UserToggle();
    form.Tick.UserToggle();
    EXPECT_EQ(events, (std::vector<std::string>{"TickClick", "TickClick", "TickClick"}));
    EXPECT_EQ(form.Tick.Value(), 1);
}

TEST_F(FormModelTest, UnreachableControlsTakeNoInput) {
    int clicks = 0;
    form.Button.Click = [&clicks] { ++clicks; };
    form.Button.SetEnabled(false);
    EXPECT_FALSE(form.Button.UserClick());
    form.Button.SetEnabled(true);
    EXPECT_TRUE(form.Button.UserClick());
    EXPECT_EQ(clicks, 1);

    form.Box.SetVisible(false);  // hides the list it contains
    EXPECT_FALSE(form.List.UserPick(0));
    EXPECT_FALSE(form.List.UserType("z"));
    form.Box.SetVisible(true);
    form.Tick.SetEnabled(false);
    EXPECT_FALSE(form.Tick.UserToggle());
    EXPECT_TRUE(events.empty());
}

TEST_F(FormModelTest, TheHostHearsOfEveryChange) {
    using P = Property;
    struct Step {
        std::function<void()> act;
        std::vector<std::pair<std::string, Property>> told;
    } steps[] = {
        {[&] { form.Button.SetCaption("&Go"); }, {{"Button", P::Caption}}},
        {[&] { form.Button.SetCaption("&Go"); }, {}},
        {[&] { form.List.AddItem("d"); }, {{"List", P::Items}}},
        {[&] { form.List.SetListIndex(0); }, {{"List", P::ListIndex}, {"List", P::Text}}},
        {[&] { form.List.SetText("zz"); }, {{"List", P::Text}, {"List", P::ListIndex}}},
        {[&] { form.Tick.SetValue(1); }, {{"Tick", P::Value}}},
        {[&] { form.Button.SetEnabled(false); }, {{"Button", P::Enabled}}},
        {[&] { form.Box.SetVisible(false); }, {{"Box", P::Visible}}},
        {[&] { form.Box.SetTop(20); }, {{"Box", P::Bounds}}},
        {[&] { form.Box.SetPicture(7); }, {{"Box", P::Picture}}},
        {[&] { form.Clock.SetInterval(10); }, {{"Clock", P::Interval}}},
        {[&] { form.SetCaption("Title"); }, {{"Test", P::Caption}}},
        {[&] { form.SetIcon(3); }, {{"Test", P::Icon}}},
        {[&] { form.Show(); }, {{"Test", P::Visible}}},
        {[&] { form.Show(); }, {{"Test", P::Foreground}}},  // shown again: to the front
        {[&] { form.Hide(); }, {{"Test", P::Visible}}},
        {[&] { form.First.SetCaption("&Uno"); }, {{"First", P::Caption}}},
        {[&] { form.Second.SetPicture(9); }, {{"Second", P::Picture}}},
        {[&] { form.Second.SetEnabled(false); }, {{"Second", P::Enabled}}},
    };
    int k = 0;
    for (const Step& s : steps) {
        host.changes.clear();
        s.act();
        EXPECT_EQ(host.changes, s.told) << "step " << k++;
    }
}

TEST_F(FormModelTest, MenuItemsKnowTheirPlaceAndSeparatorsDoNothing) {
    int chosen = 0;
    form.First.Click = [&chosen] { ++chosen; };
    form.Line.Click = [&chosen] { ++chosen; };
    EXPECT_EQ(form.Second.Position(), 2);
    EXPECT_TRUE(form.Line.IsSeparator());
    EXPECT_FALSE(form.Line.UserChoose());
    EXPECT_TRUE(form.First.UserChoose());
    form.First.SetEnabled(false);
    EXPECT_FALSE(form.First.UserChoose());
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(form.Popup.FindById(form.Second.CommandId()), &form.Second);
    EXPECT_NE(form.First.CommandId(), form.Second.CommandId());
    EXPECT_EQ(form.FindMenuItem("Second"), &form.Second);
    EXPECT_EQ(form.FindControl("List")->Container(), &form.Box);
}

// The menu calls every desktop shares, here on the sim.
TEST(MenuHandles, ReachTheModelOnlyWhileTheFormIsLoaded) {
    constexpr uint32_t kNoItem = 0xFFFFFFFFu;
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    TestForm form;
    EXPECT_EQ(sim.GetMenu(form), 0u);  // not loaded yet
    sim.LoadForm(form);
    const MenuHandle bar = sim.GetMenu(form);
    ASSERT_NE(bar, 0u);
    const MenuHandle menu = sim.GetSubMenu(bar, 0);
    ASSERT_NE(menu, 0u);

    const std::tuple<const char*, MenuHandle, int, uint32_t> ids[] = {
        {"first item", menu, 0, form.First.CommandId()},
        {"separator", menu, 1, form.Line.CommandId()},
        {"last item", menu, 2, form.Second.CommandId()},
        {"past the end", menu, 3, kNoItem},
        {"negative", menu, -1, kNoItem},
        {"the bar is no menu", bar, 0, kNoItem},
        {"made-up handle", menu + 1, 0, kNoItem},
    };
    for (const auto& [name, handle, position, id] : ids)
        EXPECT_EQ(sim.GetMenuItemID(handle, position), id) << name;
    EXPECT_EQ(sim.GetSubMenu(bar, 1), 0u);
    EXPECT_EQ(sim.GetSubMenu(menu, 0), 0u);

    // By command on the bar (flags without MF_BYPOSITION), by position on
    // the menu.
    EXPECT_TRUE(sim.SetMenuItemBitmaps(bar, form.Second.CommandId(), kMenuItemByCommand, 7, 7));
    EXPECT_EQ(form.Second.PictureHandle(), 7);
    EXPECT_TRUE(sim.SetMenuItemBitmaps(menu, 0, MF_BYPOSITION, 9, 9));
    EXPECT_EQ(form.First.PictureHandle(), 9);
    EXPECT_FALSE(sim.SetMenuItemBitmaps(bar, 999, 0, 5, 5));
    EXPECT_FALSE(sim.SetMenuItemBitmaps(menu, 3, MF_BYPOSITION, 5, 5));

    sim.UnloadForm(form);
    EXPECT_EQ(sim.GetMenu(form), 0u) << "a form no longer loaded has no menu";
    EXPECT_EQ(sim.GetSubMenu(bar, 0), 0u);
    EXPECT_EQ(sim.GetMenuItemID(menu, 0), kNoItem);
    EXPECT_FALSE(sim.SetMenuItemBitmaps(bar, form.Second.CommandId(), kMenuItemByCommand, 7, 7));
}

// Labels find the control they caption, and text knows the background
// declared behind it.
TEST(FormDeclarations, CaptionsAndBackgroundsFollowTheDeclaration) {
    constexpr Rgb kForm = RGB(1, 2, 3);
    constexpr Rgb kPanel = RGB(10, 20, 30);
    struct Declared : Form {
        Declared() : Form(FormDesign::Named("frmDeclared").Back(kForm)) {}
        ComboBox List{*this, Control::Design("List").Tab(0)};
        Label Caption{*this, Control::Design("Caption").CaptionOf(List)};
        PictureBox Panel{*this, Control::Design("Panel").Back(kPanel)};
        Label Inside{*this, Control::Design("Inside").In(Panel)};
        Image Clear{*this, Control::Design("Clear").In(Panel).Back(kWhite).Transparent()};
    } form;
    EXPECT_EQ(form.List.CaptionLabel(), &form.Caption);
    EXPECT_EQ(form.Caption.CaptionLabel(), nullptr);
    EXPECT_EQ(form.List.BackgroundBehind(), kForm);
    EXPECT_EQ(form.Inside.BackgroundBehind(), kPanel);
    EXPECT_EQ(form.Clear.BackgroundBehind(), kPanel) << "transparent: its container shows";
}

TEST(FormColours, TextIsMovedJustFarEnoughToContrastWithItsBackground) {
    EXPECT_NEAR(ContrastRatio(kBlack, kWhite), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(RGB(255, 0, 0), kWhite), 4.0, 0.01);
    EXPECT_EQ(StrongestOn(RGB(20, 20, 40)), kWhite);

    struct Case {
        const char* what;
        Rgb text;
        Rgb background;
        bool keeps;  // already readable: unchanged
    };
    const Case cases[] = {
        {"the dialogs' blue on white", RGB(2, 92, 202), kWhite, true},
        {"the link's red on white", RGB(255, 0, 0), kWhite, false},
        {"a dark theme's white on the dialogs' white", kWhite, kWhite, false},
        {"black on a black panel", kBlack, kBlack, false},
        {"yellow on white", RGB(255, 255, 0), kWhite, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Rgb shown = ReadableOn(c.text, c.background);
        EXPECT_GE(ContrastRatio(shown, c.background), kTextContrast);
        if (c.keeps) {
            EXPECT_EQ(shown, c.text);
            continue;
        }
        // The least change: the hue stays (channels keep their order) and
        // the contrast is just enough, not the most there is.
        EXPECT_EQ(RedOf(shown) >= GreenOf(shown), RedOf(c.text) >= GreenOf(c.text));
        EXPECT_EQ(GreenOf(shown) >= BlueOf(shown), GreenOf(c.text) >= BlueOf(c.text));
        EXPECT_LT(ContrastRatio(shown, c.background), kTextContrast + 0.3);
    }
}

}  // namespace
}  // namespace gimbalo
