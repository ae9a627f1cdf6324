// The generic Win32 host under Wine: the conformance suite every desktop's
// host passes (tests/conformance), run on Win32, and what only Windows shows.
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/forms.h"
#include "platform/windows/win32_dpi.h"
#include "tests/conformance/form_host_conformance.h"
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

// The sample form on Wine's desktop, as Win32 holds its windows.
class FormsHost : public ::testing::Test {
protected:
    void SetUp() override {
        platform = testing::TestPlatform::Create();
        ASSERT_TRUE(platform);
        platform->LoadForm(form);
        form.Show();
        window = platform->HostOf(form)->Window();
        ASSERT_NE(window, nullptr);
        PumpDialog(window);
        for (Control* control : form.Controls()) made[control] = Window(*control);
    }
    void TearDown() override {
        if (platform) platform->UnloadForm(form);
    }

    HWND Window(const Control& control) const {
        HWND found = platform->HostOf(form)->WindowOf(control);
        EXPECT_NE(found, nullptr) << control.Name();
        return found;
    }
    DeviceScale Scale() const { return DeviceScale(Unit::Twips, WindowDpi(window)); }
    static Bounds Of(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }
    // Mouse button messages on `target` at a point of its client area.
    void ClickOn(HWND target, UINT down = WM_LBUTTONDOWN, int x = 2, int y = 2) {
        SendMessageW(target, down, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        PumpDialog(window);
    }

    // -- what the conformance suite asks of a desktop --
    Platform& Desktop() { return *platform; }
    void Settle() { PumpDialog(window); }
    Bounds Pixels(const Bounds& declared) { return Of(Scale().ToPixels(declared)); }
    Seen Look(const Control* control) {
        HWND native = control != nullptr ? made[control] : window;
        if (!IsWindow(native)) return {};
        const bool list = control != nullptr && control->Kind() == ControlKind::ComboBox;
        const bool box = control != nullptr && control->Kind() == ControlKind::CheckBox;
        Seen seen{
            .exists = true,
            .shown = IsWindowVisible(native) != FALSE,
            .enabled = IsWindowEnabled(native) != FALSE,
            .ticked = box && SendMessageW(native, BM_GETCHECK, 0, 0) == BST_CHECKED,
            .text = TextOf(native),
            .place = control != nullptr ? Of(PlaceInParent(native))
                                        : Bounds{0, 0, testing::ClientSize(native).cx,
                                                 testing::ClientSize(native).cy},
            .parent =
                GetParent(native) == window && control != nullptr ? control->Owner().Name() : "",
            .entries = {},
            .selected = list ? static_cast<int>(SendMessageW(native, CB_GETCURSEL, 0, 0)) : -1,
            .caret = list ? HIWORD(SendMessageW(native, CB_GETEDITSEL, 0, 0)) : 0};
        for (const auto& [other, handle] : made)
            if (handle == GetParent(native)) seen.parent = other->Name();
        const auto count = list ? SendMessageW(native, CB_GETCOUNT, 0, 0) : 0;
        for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
            wchar_t entry[256] = {};
            SendMessageW(native, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
            seen.entries.push_back(Utf8(entry));
        }
        return seen;
    }
    void Do(const Control* control, Act act) {
        HWND native = control != nullptr ? made[control] : window;
        const SIZE client = testing::ClientSize(window);
        switch (act) {
            case Act::Click:
                if (control == nullptr)
                    return ClickOn(window, WM_LBUTTONDOWN, client.cx - 5, client.cy - 5);
                if (control->Kind() != ControlKind::CheckBox &&
                    control->Kind() != ControlKind::CommandButton)
                    return ClickOn(native);
                SendMessageW(native, BM_CLICK, 0, 0);
                break;
            case Act::DoubleClick:
                ClickOn(native);
                return ClickOn(native, WM_LBUTTONDBLCLK);
            case Act::PressAndLeave:
                SendMessageW(native, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
                SendMessageW(native, WM_LBUTTONUP, 0, MAKELPARAM(-50, -50));
                break;
            case Act::SelectText:
                // The list's own notifications carry what is typed.
                SetFocus(native);
                SendMessageW(native, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
                break;
            case Act::Close:
                SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
            default:  // a key, on the control with the focus
                if (GetFocus() != native && !IsChild(native, GetFocus())) SetFocus(native);
                return PressKey(window, act == Act::Enter   ? VK_RETURN
                                        : act == Act::Space ? VK_SPACE
                                                            : VK_ESCAPE);
        }
        PumpDialog(window);
    }
    void Type(const std::string& text) {
        for (wchar_t typed : Wide(text)) {
            PostMessageW(GetFocus(), WM_CHAR, typed, 1);
            PumpDialog(window);
        }
    }

    std::unique_ptr<testing::TestPlatform> platform;
    SampleForm form;
    HWND window = nullptr;
    std::map<const Control*, HWND> made;  // as first shown
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FormsHostConformance, FormsHost);

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST_F(FormsHost, TheWindowIsAFixedDialogOutOfTheTaskBarCentredOnItsMonitor) {
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
    const std::tuple<const Control*, const char*, DWORD> classes[] = {
        {&form.lblName, "Static", SS_RIGHT | SS_NOPREFIX},
        {&form.cboName, "ComboBox", CBS_DROPDOWN | WS_TABSTOP},
        {&form.chkOn, "Button", BS_CHECKBOX | WS_TABSTOP},
        {&form.cmdGo, "Button", BS_PUSHBUTTON | WS_TABSTOP},
        {&form.fraRule, "GimbaloPanel", 0},
        {&form.picView, "GimbaloPanel", WS_CLIPCHILDREN},
        {&form.lblInside, "Static", SS_LEFT},
        {&form.lblLink, "GimbaloPanel", WS_TABSTOP},
    };
    for (const auto& [control, windowClass, style] : classes) {
        SCOPED_TRACE(control->Name());
        EXPECT_EQ(ClassOf(Window(*control)), windowClass);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(Window(*control), GWL_STYLE)) & style,
                  style);
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

TEST_F(FormsHost, TheArrowKeysPickEntriesAndAFormShownAgainComesForward) {
    for (const char* entry : {"one", "two", "three"}) form.cboName.AddItem(entry);
    std::vector<std::string> clicks;
    form.cboName.Click = [&] { clicks.push_back(form.cboName.Text()); };
    HWND combo = Window(form.cboName);
    SetFocus(combo);
    PressKey(window, VK_DOWN);
    PressKey(window, VK_DOWN);
    EXPECT_EQ(form.cboName.ListIndex(), 1);
    EXPECT_EQ(TextOf(combo), "two");
    EXPECT_EQ(clicks, (std::vector<std::string>{"one", "two"}));
    // Shown again while another window is in front, the form comes forward.
    testing::NotingWindow other(RECT{0, 0, 300, 300});
    SetForegroundWindow(other.Handle());
    ASSERT_EQ(GetForegroundWindow(), other.Handle());
    form.Show();
    EXPECT_EQ(GetForegroundWindow(), window);
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
        EXPECT_EQ(client.cx, scale.ToPixels(kSampleWidth));
        EXPECT_EQ(client.cy, scale.ToPixels(kSampleHeight));
        const RECT place = PlaceInParent(Window(form.cmdGo));
        const RECT declared = scale.ToPixels(form.cmdGo.GetBounds());
        EXPECT_TRUE(EqualRect(&place, &declared));
        EXPECT_EQ(FontOf(Window(form.cmdGo)).lfHeight, scale.FontHeight(8.25));
    }
}

}  // namespace
}  // namespace gimbalo
