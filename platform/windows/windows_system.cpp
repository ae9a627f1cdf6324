// Locale, common controls, the autostart value and the screen's twips.
#include <algorithm>

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo {

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr int kTwipsPerInch = 1440;

}  // namespace

int WindowsPlatform::GetLocaleInfoA(uint32_t locale, uint32_t type, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    wchar_t wide[256] = {};
    const int got = GetLocaleInfoW(locale == 0 ? LOCALE_USER_DEFAULT : locale, type, wide,
                                   static_cast<int>(std::size(wide)));
    if (got <= 0) return 0;
    const std::string text = Utf8(std::wstring_view(wide, static_cast<std::size_t>(got - 1)));
    if (static_cast<int>(text.size()) + 1 > size) return 0;
    text.copy(buffer, text.size());
    buffer[text.size()] = '\0';
    return static_cast<int>(text.size()) + 1;
}

void WindowsPlatform::InitCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    if (!InitCommonControlsEx(&controls)) ::InitCommonControls();
}

bool WindowsPlatform::WriteAutostart(const std::string& name, const std::string& executablePath) {
    // The command Windows runs at log-on: a path with a blank in quotes, or
    // Windows would take its first word for the program.
    std::wstring command = Wide(executablePath);
    if (command.find_first_of(L" \t") != std::wstring::npos) command = L'"' + command + L'"';
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG written = RegSetValueExW(key, Wide(name).c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(command.c_str()),
                                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

bool WindowsPlatform::DeleteAutostart(const std::string& name) {
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key);
    // No key, no value: nothing starts the program, as asked.
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    const LONG deleted = RegDeleteValueW(key, Wide(name).c_str());
    RegCloseKey(key);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

int WindowsPlatform::TwipsPerPixelX() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    if (dpi <= 0) return kTwipsPerInch / 96;
    return std::max(1, (kTwipsPerInch + dpi / 2) / dpi);
}

}  // namespace gimbalo
