#include "shell/system_tray.h"

namespace gimbalo {

std::string FirstCharacters(const std::string& text, std::size_t count, bool utf8) {
    if (!utf8) return text.substr(0, count);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool continuation = (byte & 0xC0) == 0x80;
        if (!continuation && characters++ == count) return text.substr(0, i);
    }
    return text;
}

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
