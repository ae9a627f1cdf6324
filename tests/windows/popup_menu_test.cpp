// The popup menu as Win32 shows it: built from the model with its captions,
// separators and 13 x 13 pictures, and an item chosen with the keyboard runs
// its command once the menu has closed.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/common/picture_files.h"
#include "platform/windows/wide_text.h"
#include "tests/windows/windows_test_support.h"

namespace gimbalo {
namespace {

using testing::MenuWindow;
using testing::TestPlatform;

// The items of the menu in the shown menu window: "-" for a separator, else
// the caption, with " picture" for a picture of the menu's check-mark size
// and " grayed" for a disabled item.
std::vector<std::string> ShownItems(HWND menuWindow) {
    std::vector<std::string> items;
    auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
        wchar_t caption[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_CHECKMARKS | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = 127;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            items.push_back("-");
            continue;
        }
        BITMAP bitmap{};
        const bool picture = info.hbmpUnchecked != nullptr &&
                             GetObjectW(info.hbmpUnchecked, sizeof bitmap, &bitmap) != 0 &&
                             bitmap.bmWidth == GetSystemMetrics(SM_CXMENUCHECK) &&
                             bitmap.bmHeight == GetSystemMetrics(SM_CYMENUCHECK);
        items.push_back(Utf8(caption) + (picture ? " picture" : "") +
                        ((info.fState & MFS_GRAYED) ? " grayed" : ""));
    }
    return items;
}

TEST(WindowsPopupMenu, ShowsTheModelAndRunsTheItemChosen) {
    std::unique_ptr<TestPlatform> platform = TestPlatform::Create();
    ASSERT_NE(platform, nullptr);
    MenuWindow form;
    platform->LoadForm(form);
    form.Timer1.Tick = [] {};
    form.Timer1.SetInterval(5);
    int chosen[3] = {};
    form.mnuOne.Click = [&] { ++chosen[0]; };
    form.mnuTwo.Click = [&] { ++chosen[1]; };
    form.mnuThree.Click = [&] { ++chosen[2]; };

    // As the program's load step attaches a picture: by command identifier.
    const int32_t picture = platform->LoadPicture(kMenuOptionsPicture);
    ASSERT_NE(picture, 0);
    const MenuHandle bar = platform->GetMenu(form);
    const MenuHandle menu = platform->GetSubMenu(bar, 0);
    ASSERT_NE(menu, 0u);
    EXPECT_TRUE(platform->SetMenuItemBitmaps(bar, platform->GetMenuItemID(menu, 0),
                                             kMenuItemByCommand, picture, picture));
    form.mnuThree.SetEnabled(false);

    struct Case {
        const char* what;
        std::vector<WPARAM> keys;  // typed once the menu is shown
        std::array<int, 3> expected;
    } cases[] = {
        {"access key of the first", {'O'}, {1, 0, 0}},
        {"arrow down past the separator, Enter", {VK_DOWN, VK_DOWN, VK_RETURN}, {1, 1, 0}},
        {"Escape", {VK_ESCAPE}, {1, 1, 0}},
        {"access key of a disabled item", {'E', VK_ESCAPE}, {1, 1, 0}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> shown;
        bool typed = false;
        platform->onDispatch = [&](Timer&) {
            HWND window = testing::ShownWindowOfClass("#32768");
            if (window == nullptr || typed) return;
            shown = ShownItems(window);
            for (WPARAM key : c.keys) {
                PostMessageW(window, WM_KEYDOWN, key, 0);
                PostMessageW(window, WM_KEYUP, key, 0);
            }
            typed = true;
        };
        platform->ShowPopupMenu(form);
        EXPECT_TRUE(typed) << c.what << ": the menu was not seen";
        const std::vector<std::string> expected = {"&Opzioni... picture", "-",
                                                   "Fai una &donazione...", "&Esci grayed"};
        EXPECT_EQ(shown, expected) << c.what;
        EXPECT_EQ((std::array<int, 3>{chosen[0], chosen[1], chosen[2]}), c.expected) << c.what;
    }
    platform->onDispatch = nullptr;
    platform->UnloadForm(form);
}

}  // namespace
}  // namespace gimbalo
