#include "shell/system_tray.h"

#include "platform/common/text_encoding.h"

namespace gimbalo {

void SystemTray::AddTrayIcon(Form& window, int32_t id, int32_t icon, const std::string& tip) {
    record_.cbSize = kNotifyIconDataSize;
    record_.hWnd = &window;
    record_.uID = static_cast<uint32_t>(id);
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = kTrayCallbackMessage;
    record_.hIcon = icon;
    record_.szTip = FirstCharacters(tip, kTrayTipLength, platform_.TextIsUtf8());
    platform_.Shell_NotifyIconA(NIM_ADD, record_);
}

void SystemTray::RemoveTrayIcon(int32_t id) {
    record_.uID = static_cast<uint32_t>(id);
    platform_.Shell_NotifyIconA(NIM_DELETE, record_);
}

}  // namespace gimbalo
