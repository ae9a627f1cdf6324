// Folders, the executable and file attributes.
#include <string>

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo {

namespace {

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // cut short: try a longer buffer
    }
}

std::string FolderOf(const std::string& path) {
    const std::size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

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

std::string WindowsPlatform::ProgramFolder() {
    return FolderOf(ExecutablePath());
}

std::string WindowsPlatform::SettingsFolder() {
    if (settingsFolder_) return *settingsFolder_;
    // Beside the program, as a copy carried on a stick expects. A program
    // installed where its user cannot write (Program Files) keeps them in
    // the user's own folder instead, so they are never silently lost.
    std::string folder = ProgramFolder();
    if (!CanWriteIn(folder)) {
        const std::string appData = RoamingAppData();
        if (!appData.empty()) {
            folder = appData + "\\Gimbalo";
            CreateDirectoryW(Wide(folder).c_str(), nullptr);
        }
    }
    settingsFolder_ = folder;
    return folder;
}

std::string WindowsPlatform::ExecutablePath() {
    return Utf8(ModulePath());
}

std::string WindowsPlatform::ExecutableName() {
    std::string name = ExecutablePath();
    name.erase(0, name.find_last_of("\\/") + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

ProductVersion WindowsPlatform::GetProductVersion() {
    return {GIMBALO_VERSION_MAJOR, GIMBALO_VERSION_MINOR, GIMBALO_VERSION_PATCH};
}

bool WindowsPlatform::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WindowsPlatform::SetFileAttributesA(const std::string& path, uint32_t attributes) {
    return SetFileAttributesW(Wide(path).c_str(), attributes) != FALSE;
}

}  // namespace gimbalo
