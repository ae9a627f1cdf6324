// The popup menu of a form and its pictures. A menu bar's handle is its
// form's address and a menu's handle its own; a handle counts only while its
// form is loaded, so a stale or made-up one finds nothing. The Win32 menu is
// built from the model each time it is shown, so it always shows the
// captions and pictures of the moment.
#include "platform/forms.h"
#include "platform/windows/message_loop.h"
#include "platform/windows/picture_store.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo {

namespace {

MenuHandle HandleOf(const void* address) {
    return reinterpret_cast<MenuHandle>(address);
}

// The loaded form whose menu bar `handle` is, or nullptr.
template <typename Hosts>
Form* MenuBarOf(const Hosts& hosts, MenuHandle handle) {
    for (const auto& [form, host] : hosts)
        if (HandleOf(form) == handle && !form->Menus().empty()) return form;
    return nullptr;
}

// The menu of a loaded form that `handle` is, or nullptr.
template <typename Hosts>
Menu* MenuOf(const Hosts& hosts, MenuHandle handle) {
    for (const auto& [form, host] : hosts)
        for (Menu* menu : form->Menus())
            if (HandleOf(menu) == handle) return menu;
    return nullptr;
}

}  // namespace

MenuHandle WindowsPlatform::GetMenu(Form& form) {
    if (hosts_.count(&form) == 0 || form.Menus().empty()) return 0;
    return HandleOf(&form);
}

MenuHandle WindowsPlatform::GetSubMenu(MenuHandle menu, int position) {
    const Form* bar = MenuBarOf(hosts_, menu);
    if (bar == nullptr || position < 0 || static_cast<std::size_t>(position) >= bar->Menus().size())
        return 0;
    return HandleOf(bar->Menus()[static_cast<std::size_t>(position)]);
}

uint32_t WindowsPlatform::GetMenuItemID(MenuHandle menu, int position) {
    return MenuItemIdAt(MenuOf(hosts_, menu), position);
}

bool WindowsPlatform::SetMenuItemBitmaps(MenuHandle menu, uint32_t item, uint32_t flags,
                                         int32_t uncheckedPicture, int32_t) {
    // The item is looked for in the bar's menus, or in the one menu given.
    std::vector<Menu*> searched;
    if (const Form* bar = MenuBarOf(hosts_, menu))
        searched = bar->Menus();
    else if (Menu* one = MenuOf(hosts_, menu))
        searched.push_back(one);
    else
        return false;
    MenuItem* target = FindMenuItemFor(searched, item, (flags & MF_BYPOSITION) != 0);
    if (target == nullptr) return false;
    // No item of the program is ever checked: its one picture is the
    // unchecked one, and the shown menu takes it from the model.
    target->SetPicture(uncheckedPicture);
    return true;
}

void WindowsPlatform::ShowPopupMenu(Form& form) {
    if (!loop_ || ended_ || form.Menus().empty()) return;
    Menu& menu = *form.Menus().front();
    HMENU popup = CreatePopupMenu();
    if (popup == nullptr) return;
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
    UINT chosen = 0;
    {
        MessageLoop::ModalScope modal(*loop_);
        chosen = static_cast<UINT>(TrackPopupMenuEx(
            popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, owner, nullptr));
    }
    PostMessageW(owner, WM_NULL, 0, 0);
    DestroyMenu(popup);
    // The program may have ended while the menu was open.
    if (chosen == 0 || ended_) return;
    if (MenuItem* item = menu.FindById(chosen)) item->UserChoose();
}

}  // namespace gimbalo
