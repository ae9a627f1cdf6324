// Folders, the executable and file attributes.
#include <string>

#include "platform/windows/settings_folder.h"
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

}  // namespace

std::string WindowsPlatform::ProgramFolder() {
    return FolderOf(ExecutablePath());
}

std::string WindowsPlatform::SettingsFolder() {
    return settingsFolder_->Chosen([this] { return ProgramFolder(); });
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
