// The generic Win32 host under Wine: any declared form becomes a window of
// native controls that follow the models, and what the user does reaches
// the models as the User* calls.
#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/forms.h"
#include "platform/windows/win32_dpi.h"
#include "tests/windows/forms/forms_test_support.h"

// After win32.h, which it needs.
#include <oleacc.h>

namespace gimbalo {
namespace {

using testing::ClassOf;
using testing::PlaceInParent;
using testing::PressKey;
using testing::PumpDialog;
using testing::TextOf;

constexpr Rgb kPanelColour = RGB(200, 220, 240);
constexpr Rgb kLinkColour = RGB(0, 0, 160);
constexpr Rgb kPaleColour = RGB(210, 225, 245);
constexpr int kWidth = 6000;
constexpr int kHeight = 4500;

// A form with one control of each kind that has a window, in twips. The
// list's caption is declared after the list, as the options dialog does.
struct SampleForm : Form {
    SampleForm()
        : Form(FormDesign::Named("frmSample")
                   .Client(Unit::Twips, kWidth, kHeight)
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
                               .Fore(kPaleColour)
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

class FormsHost : public ::testing::Test {
protected:
    void SetUp() override {
        platform = testing::TestPlatform::Create();
        ASSERT_TRUE(platform);
        platform->LoadForm(form);
        form.Show();
        window = Window(form);
        ASSERT_NE(window, nullptr);
        PumpDialog(window);
    }
    void TearDown() override {
        if (platform) platform->UnloadForm(form);
    }

    HWND Window(const Form& f) const { return platform->HostOf(f)->Window(); }
    HWND Window(const Control& control) const {
        HWND found = platform->HostOf(form)->WindowOf(control);
        EXPECT_NE(found, nullptr) << control.Name();
        return found;
    }
    DeviceScale Scale() const { return DeviceScale(Unit::Twips, WindowDpi(window)); }
    // Mouse button messages on `target` at a point of its client area.
    void ClickOn(HWND target, UINT down = WM_LBUTTONDOWN, int x = 2, int y = 2) {
        SendMessageW(target, down, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        PumpDialog(window);
    }

    std::unique_ptr<testing::TestPlatform> platform;
    SampleForm form;
    HWND window = nullptr;
};

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST_F(FormsHost, TheWindowIsAFixedDialogOutOfTheTaskBarCentredOnItsMonitor) {
    const RECT client = Scale().ToPixels(Bounds{0, 0, kWidth, kHeight});
    const SIZE size = testing::ClientSize(window);
    EXPECT_EQ(size.cx, client.right);
    EXPECT_EQ(size.cy, client.bottom);
    EXPECT_EQ(TextOf(window), "Sample");
    EXPECT_TRUE(IsWindowVisible(window));
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
    // Owned by a window never shown, and not marked for the taskbar.
    HWND owner = GetWindow(window, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT place{};
    GetWindowRect(window, &place);
    EXPECT_LE(std::abs((place.left + place.right) - (monitor.rcWork.left + monitor.rcWork.right)),
              2);
    EXPECT_LE(std::abs((place.top + place.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)),
              2);
}

TEST_F(FormsHost, EachControlIsANativeWindowWhereItIsDeclared) {
    struct Case {
        const Control& control;
        const char* windowClass;
        DWORD style;  // bits it must have
        HWND parent;
    };
    HWND view = Window(form.picView);
    const Case cases[] = {
        {form.lblName, "Static", SS_RIGHT | SS_NOPREFIX, window},
        {form.cboName, "ComboBox", CBS_DROPDOWN | WS_TABSTOP, window},
        {form.chkOn, "Button", BS_CHECKBOX | WS_TABSTOP, window},
        {form.cmdGo, "Button", BS_PUSHBUTTON | WS_TABSTOP, window},
        {form.fraRule, "GimbaloPanel", 0, window},
        {form.picView, "GimbaloPanel", WS_CLIPCHILDREN, window},
        {form.lblInside, "Static", SS_LEFT, view},
        {form.lblLink, "GimbaloPanel", WS_TABSTOP, view},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control.Name());
        HWND control = Window(c.control);
        EXPECT_EQ(ClassOf(control), c.windowClass);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE)) & c.style, c.style);
        EXPECT_EQ(GetParent(control), c.parent);
        EXPECT_TRUE(IsWindowVisible(control));
        const RECT declared = Scale().ToPixels(c.control.GetBounds());
        const RECT place = PlaceInParent(control);
        if (c.control.Kind() == ControlKind::ComboBox) {
            // A list is as high as its font makes it.
            EXPECT_EQ(place.left, declared.left);
            EXPECT_EQ(place.top, declared.top);
            EXPECT_EQ(place.right, declared.right);
        } else {
            EXPECT_TRUE(EqualRect(&place, &declared));
        }
    }
}

TEST_F(FormsHost, CaptionsFontsAndColoursAreTheDeclaredOnes) {
    // Texts as written; a picture's window text is its description.
    EXPECT_EQ(TextOf(Window(form.lblName)), "Na&me");
    EXPECT_EQ(TextOf(Window(form.lblInside)), "Line one\r\nLine two");
    EXPECT_EQ(TextOf(Window(form.picView)), "A view");

    // Declared sizes at the screen's density: the list's own, the form's
    // for the check box, and the link's underlined one.
    const std::tuple<const Control*, double, bool> fonts[] = {
        {&form.cboName, 9.75, false}, {&form.chkOn, 8.25, false}, {&form.lblLink, 11.25, true}};
    for (const auto& [control, points, underline] : fonts) {
        const LOGFONTW font = FontOf(Window(*control));
        EXPECT_EQ(font.lfHeight, -std::lround(points * WindowDpi(window) / 72.0))
            << control->Name();
        EXPECT_EQ(font.lfUnderline != 0, underline) << control->Name();
    }

    // Labels on the background declared behind them, in a text colour that
    // reads on it even where the declared one (too pale here) would not;
    // check boxes in the desktop's window colours.
    const std::pair<const Control*, COLORREF> backs[] = {{&form.lblName, kWhite},
                                                         {&form.lblInside, kPanelColour},
                                                         {&form.chkOn, GetSysColor(COLOR_WINDOW)}};
    HDC dc = GetDC(window);
    for (const auto& [control, back] : backs) {
        HWND native = Window(*control);
        LOGBRUSH fill{};
        GetObjectW(reinterpret_cast<HBRUSH>(SendMessageW(GetParent(native), WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(native))),
                   sizeof fill, &fill);
        EXPECT_EQ(fill.lbColor, back) << control->Name();
        EXPECT_GE(ContrastRatio(GetTextColor(dc), back), kTextContrast) << control->Name();
    }
    ReleaseDC(window, dc);

    // As painted: the form white, the picture box its own colour.
    UpdateWindow(window);
    HDC shown = GetDC(window);
    EXPECT_EQ(GetPixel(shown, testing::ClientSize(window).cx - 3, 3) & 0xFFFFFF, kWhite);
    const RECT view = PlaceInParent(Window(form.picView));
    EXPECT_EQ(GetPixel(shown, view.right - 3, view.bottom - 3) & 0xFFFFFF, kPanelColour);
    ReleaseDC(window, shown);
}

TEST_F(FormsHost, ScreenReadersHearEachControlsNameAsDeclared) {
    // A list takes its name from the label made just before it, which is
    // its declared caption (Wine's accessibility layer reads window texts
    // only, so the relation is checked as Windows reads it).
    HWND before = GetWindow(Window(form.cboName), GW_HWNDPREV);
    EXPECT_EQ(before, Window(form.lblName));
    EXPECT_EQ(ClassOf(before), "Static");
    form.lblName.SetCaption("Full name");
    EXPECT_EQ(TextOf(before), "Full name");

    // Check boxes, buttons, links and described pictures are named by their
    // texts; the access-key mark is no part of the name.
    const std::pair<const Control*, std::wstring> named[] = {{&form.chkOn, L"Switch"},
                                                             {&form.cmdGo, L"Go"},
                                                             {&form.lblLink, L"Link"},
                                                             {&form.picView, L"A view"}};
    for (const auto& [control, name] : named) {
        SCOPED_TRACE(control->Name());
        IAccessible* accessible = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(Window(*control), OBJID_CLIENT, IID_IAccessible,
                                             reinterpret_cast<void**>(&accessible)),
                  S_OK);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR spoken = nullptr;
        EXPECT_EQ(accessible->get_accName(self, &spoken), S_OK);
        EXPECT_EQ(std::wstring(spoken != nullptr ? spoken : L""), name);
        SysFreeString(spoken);
        accessible->Release();
    }
}

TEST_F(FormsHost, ModelChangesReachTheWindowsWithoutComingBackAsUserInput) {
    int clicks = 0, changes = 0, toggles = 0;
    form.cboName.Click = [&] { ++clicks; };
    form.cboName.Change = [&] { ++changes; };
    form.chkOn.Click = [&] { ++toggles; };
    HWND combo = Window(form.cboName);

    for (const char* entry : {"one", "two", "three"}) form.cboName.AddItem(entry);
    ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    form.cboName.SetListIndex(1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(TextOf(combo), "two");
    form.cboName.SetText("typed by the program");
    EXPECT_EQ(TextOf(combo), "typed by the program");
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    form.cboName.SetListIndex(-1);
    EXPECT_EQ(TextOf(combo), "");
    form.chkOn.SetValue(1);
    EXPECT_EQ(SendMessageW(Window(form.chkOn), BM_GETCHECK, 0, 0), BST_CHECKED);
    PumpDialog(window);
    // Only the model's own events ran: one Click for the selection, one
    // Change for each text change, one Click for the tick.
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(toggles, 1);

    form.cmdGo.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(Window(form.cmdGo)));
    form.lblName.SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(Window(form.lblName)));
    form.chkOn.SetCaption("&Other");
    EXPECT_EQ(TextOf(Window(form.chkOn)), "&Other");
    form.lblInside.SetTop(-300);
    const RECT moved = Scale().ToPixels(Bounds{0, -300, 1500, 600});
    const RECT inside = PlaceInParent(Window(form.lblInside));
    EXPECT_TRUE(EqualRect(&inside, &moved));
    form.SetCaption("Renamed");
    EXPECT_EQ(TextOf(window), "Renamed");
    form.Hide();
    EXPECT_FALSE(IsWindowVisible(window));
    form.Show();
    EXPECT_TRUE(IsWindowVisible(window));
    // Shown again while another window is in front: it comes forward.
    testing::NotingWindow other(RECT{0, 0, 300, 300});
    SetForegroundWindow(other.Handle());
    ASSERT_EQ(GetForegroundWindow(), other.Handle());
    form.Show();
    EXPECT_EQ(GetForegroundWindow(), window);
}

TEST_F(FormsHost, WhatTheUserDoesBecomesTheModelsUserCalls) {
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

    // The list picks by the arrow keys and takes typed text, through its
    // own notifications.
    HWND combo = Window(form.cboName);
    SetFocus(combo);
    PressKey(window, VK_DOWN);
    PressKey(window, VK_DOWN);
    EXPECT_EQ(form.cboName.ListIndex(), 1);
    EXPECT_EQ(TextOf(combo), "two");
    SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    for (wchar_t typed : std::wstring(L"one")) {
        PostMessageW(GetFocus(), WM_CHAR, typed, 1);
        PumpDialog(window);
    }
    EXPECT_EQ(form.cboName.Text(), "one");
    EXPECT_EQ(form.cboName.ListIndex(), 0);  // the text names an entry
    EXPECT_EQ(TextOf(combo), "one");
    // Typing goes on at the end of what was typed.
    EXPECT_EQ(HIWORD(SendMessageW(combo, CB_GETEDITSEL, 0, 0)), 3);
    PressKey(window, VK_RETURN);  // picks nothing
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);

    SendMessageW(Window(form.chkOn), BM_CLICK, 0, 0);
    SendMessageW(Window(form.cmdGo), BM_CLICK, 0, 0);
    PumpDialog(window);
    ClickOn(Window(form.lblLink));
    SetFocus(Window(form.lblLink));
    PressKey(window, VK_RETURN);
    PressKey(window, VK_SPACE);
    ClickOn(Window(form.lblInside));  // no handler: neither its panel nor the form hears it
    // A double click on a label is one click; pressed on it and let go
    // elsewhere is none.
    ClickOn(Window(form.lblLink), WM_LBUTTONDBLCLK);
    SendMessageW(Window(form.lblLink), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(Window(form.lblLink), WM_LBUTTONUP, 0, MAKELPARAM(-50, -50));
    ClickOn(window, WM_LBUTTONDOWN, testing::ClientSize(window).cx - 5,
            testing::ClientSize(window).cy - 5);
    PressKey(window, VK_ESCAPE);
    form.cmdGo.SetEnabled(false);
    SendMessageW(Window(form.cmdGo), BM_CLICK, 0, 0);
    PumpDialog(window);

    const std::vector<std::string> expected = {"cboName click one",
                                               "cboName click two",
                                               "cboName change o",
                                               "cboName change on",
                                               "cboName change one",
                                               "chkOn 1",
                                               "cmdGo",
                                               "lblLink",
                                               "lblLink",
                                               "lblLink",
                                               "form",
                                               "escape"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(SendMessageW(Window(form.chkOn), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(FormsHost, ThePointingHandShowsOverTheControlsThatDeclareIt) {
    HWND textPart = GetWindow(Window(form.cboName), GW_CHILD);
    ASSERT_NE(textPart, nullptr);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    for (HWND over : {textPart, Window(form.lblLink)}) {
        SetCursor(arrow);
        EXPECT_TRUE(SendMessageW(GetParent(over), WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_NE(GetCursor(), arrow);
    }
    // The shipped hand, as large as the system's pointers at this density.
    ICONINFO hand{};
    ASSERT_TRUE(GetIconInfo(GetCursor(), &hand));
    BITMAP picture{};
    GetObjectW(hand.hbmColor != nullptr ? hand.hbmColor : hand.hbmMask, sizeof picture, &picture);
    EXPECT_EQ(picture.bmWidth, MulDiv(32, WindowDpi(window), 96));
    EXPECT_FALSE(hand.fIcon);
    DeleteObject(hand.hbmColor);
    DeleteObject(hand.hbmMask);
    SetCursor(arrow);
    EXPECT_FALSE(SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(Window(form.lblName)),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

TEST_F(FormsHost, ThePointerOverAControlIsReportedWithWhatItHolds) {
    RECT inside{};
    GetWindowRect(Window(form.lblInside), &inside);
    SetCursorPos(inside.left + 3, inside.top + 3);
    ASSERT_TRUE(testing::WaitUntil([&] { return form.picView.PointerOver(); }));
    EXPECT_TRUE(form.lblInside.PointerOver());
    EXPECT_FALSE(form.cmdGo.PointerOver());
    RECT place{};
    GetWindowRect(window, &place);
    SetCursorPos(place.right + 40, place.bottom + 40);
    EXPECT_TRUE(testing::WaitUntil([&] { return !form.picView.PointerOver(); }));
}

TEST_F(FormsHost, TheTitleBarCloseAsksTheProgramAndTheWindowStaysUntilUnloaded) {
    int asked = 0;
    form.TitleBarClose = [&] { ++asked; };
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpDialog(window);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(IsWindowVisible(window));

    // The program unloads the form from inside a click of its own.
    HWND link = Window(form.lblLink);
    form.lblLink.Click = [&] { platform->UnloadForm(form); };
    ClickOn(link);
    EXPECT_EQ(form.Observer(), nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(link));
}

TEST_F(FormsHost, ADensityChangeMakesEverythingAgainAtTheNewDensity) {
    const int before = WindowDpi(window);
    for (const int dpi : {before * 3 / 2, before * 2, before}) {
        SCOPED_TRACE(dpi);
        RECT suggested{};
        GetWindowRect(window, &suggested);
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        const DeviceScale scale(Unit::Twips, dpi);
        const SIZE client = testing::ClientSize(window);
        EXPECT_EQ(client.cx, scale.ToPixels(kWidth));
        EXPECT_EQ(client.cy, scale.ToPixels(kHeight));
        const RECT place = PlaceInParent(Window(form.cmdGo));
        const RECT declared = scale.ToPixels(form.cmdGo.GetBounds());
        EXPECT_TRUE(EqualRect(&place, &declared));
        EXPECT_EQ(FontOf(Window(form.cmdGo)).lfHeight, scale.FontHeight(8.25));
    }
}

}  // namespace
}  // namespace gimbalo
