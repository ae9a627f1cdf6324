#include "platform/common/desktop_platform.h"

#include "platform/common/menu_handles.h"

namespace gimbalo {

DesktopPlatform::~DesktopPlatform() {
    CloseDesktop();
}

void DesktopPlatform::CloseDesktop() {
    hosts_.clear();
    tray_.reset();
}

void DesktopPlatform::LoadForm(Form& form) {
    if (hosts_.count(&form) > 0) return;
    if (std::unique_ptr<FormHost> host = MakeHost(form)) hosts_[&form] = std::move(host);
}

void DesktopPlatform::UnloadForm(Form& form) {
    hosts_.erase(&form);
    if (tray_) tray_->ForgetWindow(form);
}

FormHost* DesktopPlatform::HostOf(const Form& form) const {
    const auto found = hosts_.find(const_cast<Form*>(&form));
    return found == hosts_.end() ? nullptr : found->second.get();
}

std::vector<Form*> DesktopPlatform::LoadedForms() const {
    std::vector<Form*> forms;
    for (const auto& [form, host] : hosts_) forms.push_back(form);
    return forms;
}

MenuHandle DesktopPlatform::GetMenu(Form& form) {
    return menu_handles::MenuBar(hosts_, form);
}

MenuHandle DesktopPlatform::GetSubMenu(MenuHandle menu, int position) {
    return menu_handles::SubMenu(hosts_, menu, position);
}

uint32_t DesktopPlatform::GetMenuItemID(MenuHandle menu, int position) {
    return menu_handles::ItemId(hosts_, menu, position);
}

bool DesktopPlatform::SetMenuItemBitmaps(MenuHandle menu, uint32_t item, uint32_t flags,
                                         int32_t uncheckedPicture, int32_t) {
    return menu_handles::SetItemPicture(hosts_, menu, item, flags, uncheckedPicture);
}

void DesktopPlatform::ShowPopupMenu(Form& form) {
    if (ProgramEnded() || form.Menus().empty()) return;
    MenuItem* chosen = ChooseFromPopup(*form.Menus().front());
    // The program may have ended while the menu was open.
    if (chosen != nullptr && !ProgramEnded()) chosen->UserChoose();
}

bool DesktopPlatform::Shell_NotifyIconA(uint32_t message, const NOTIFYICONDATA& data) {
    if (!tray_) tray_ = MakeTray();
    return tray_ && tray_->Command(message, data);
}

void DesktopPlatform::CloseRequested(const std::function<void()>& closeMainWindow) {
    if (ProgramEnded()) return;
    if (closeMainWindow)
        closeMainWindow();
    else
        EndProgram();
}

}  // namespace gimbalo
