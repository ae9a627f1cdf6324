#include "platform/windows/settings_folder.h"

#include "platform/windows/wide_text.h"
#include "platform/windows/win32.h"

namespace gimbalo {

namespace {

// Whether a file can be made in `folder`: the file made to find out goes
// again when it is closed.
bool CanWriteIn(const std::string& folder) {
    const std::wstring probe =
        Wide(folder) + L"\\.gimbalo-write-test-" + std::to_wstring(GetCurrentProcessId());
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    DeleteFileW(probe.c_str());
    return true;
}

// The user's roaming application data folder, "" when Windows names none.
std::string RoamingAppData() {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return Utf8(std::wstring_view(folder, length));
}

}  // namespace

const std::string& SettingsFolderChoice::Chosen(const std::function<std::string()>& programFolder) {
    if (chosen_) return *chosen_;
    std::string folder = programFolder();
    if (!CanWriteIn(folder)) {
        const std::string appData = RoamingAppData();
        if (!appData.empty()) {
            folder = appData + "\\Gimbalo";
            CreateDirectoryW(Wide(folder).c_str(), nullptr);
        }
    }
    chosen_ = folder;
    return *chosen_;
}

}  // namespace gimbalo
