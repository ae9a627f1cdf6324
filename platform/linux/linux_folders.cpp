// Folders, the executable and file tests.
#include <QCoreApplication>
#include <QFileInfo>
#include <filesystem>

#include "platform/linux/linux_platform.h"
#include "platform/linux/xdg_config.h"

namespace gimbalo {

namespace {
std::filesystem::path ExecutableFile() {
    // Qt reads /proc/self/exe; without Qt, read it directly.
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationFilePath().toStdString();
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
}
}  // namespace

std::string LinuxPlatform::ProgramFolder() {
    // A build tree or an unpacked archive keeps the data beside the
    // executable. An installed copy keeps it under its own prefix, which is
    // found from the executable, so an installed tree still works when moved.
    const std::filesystem::path folder = ExecutableFile().parent_path();
    std::error_code error;
    if (!folder.empty()) {
        if (std::filesystem::is_directory(folder / "Lang", error)) return folder.string();
        const std::filesystem::path installed =
            (folder / GIMBALO_INSTALLED_DATA_FROM_BINARY).lexically_normal();
        if (std::filesystem::is_directory(installed / "Lang", error)) return installed.string();
    }
    return GIMBALO_INSTALLED_DATA_DIR;
}

std::string LinuxPlatform::SettingsFolder() {
    const std::string config = XdgConfigHome();
    if (config.empty()) return {};
    const std::string folder = config + "/gimbalo";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder;
}

std::string LinuxPlatform::ExecutablePath() {
    return ExecutableFile().string();
}

std::string LinuxPlatform::ExecutableName() {
    return ExecutableFile().stem().string();
}

ProductVersion LinuxPlatform::GetProductVersion() {
    return {GIMBALO_VERSION_MAJOR, GIMBALO_VERSION_MINOR, GIMBALO_VERSION_PATCH};
}

bool LinuxPlatform::FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// Linux files have no read-only, hidden or system attribute to set; the call
// succeeds when there is a file to set them on.
bool LinuxPlatform::SetFileAttributesA(const std::string& path, uint32_t) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

}  // namespace gimbalo
