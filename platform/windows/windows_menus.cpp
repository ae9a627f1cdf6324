// The popup menu of a form, built from its model each time it is shown, so
// it always shows the captions and pictures of the moment.
#include "platform/forms.h"
#include "platform/windows/picture_store.h"
#include "platform/windows/ui_thread_loop.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo {

MenuItem* WindowsPlatform::ChooseFromPopup(Menu& menu) {
    if (!loop_) return nullptr;
    HMENU popup = CreatePopupMenu();
    if (popup == nullptr) return nullptr;
    // The pictures at the size of the menu's check marks (13 x 13 at 96 DPI),
    // over the menu's colour.
    const int width = GetSystemMetrics(SM_CXMENUCHECK);
    const int height = GetSystemMetrics(SM_CYMENUCHECK);
    const COLORREF background = GetSysColor(COLOR_MENU);
    for (const MenuItem* item : menu.Items()) {
        if (item->IsSeparator()) {
            AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        // The ampersand marks the access key, as Windows reads it too.
        AppendMenuW(popup, MF_STRING | (item->Enabled() ? MF_ENABLED : MF_GRAYED),
                    item->CommandId(), Wide(item->Caption()).c_str());
        if (item->PictureHandle() == 0) continue;
        HBITMAP picture = Pictures().OpaqueBitmap(item->PictureHandle(), background, width, height);
        if (picture != nullptr)
            ::SetMenuItemBitmaps(popup, item->CommandId(), MF_BYCOMMAND, picture, picture);
    }

    // The menu closes on a click elsewhere only when its window is the
    // foreground one; the empty message after it lets the next showing work.
    HWND owner = loop_->Window().Handle();
    ::POINT at{};
    ::GetCursorPos(&at);
    SetForegroundWindow(owner);
    const auto chosen = static_cast<UINT>(TrackPopupMenuEx(
        popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    DestroyMenu(popup);
    return chosen != 0 ? menu.FindById(chosen) : nullptr;
}

}  // namespace gimbalo
