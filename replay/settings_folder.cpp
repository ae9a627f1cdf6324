#include "replay/settings_folder.h"

#include <filesystem>
#include <system_error>

namespace gimbalo {

namespace {

// Paths are UTF-8 on every desktop; the library takes them as such.
std::filesystem::path FileSystemPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

ReplaySettingsFolder::~ReplaySettingsFolder() {
    if (!temporary_) return;
    std::error_code ignored;
    std::filesystem::remove_all(FileSystemPath(path_), ignored);
}

bool ReplaySettingsFolder::Prepare(const std::string& chosen, MakeTemporaryFolder makeTemporary,
                                   std::string& error) {
    if (chosen.empty()) {
        temporary_ = makeTemporary(path_, error);
        return temporary_;
    }
    std::error_code failure;
    const std::filesystem::path folder = FileSystemPath(chosen);
    std::filesystem::create_directories(folder, failure);
    if (failure || !std::filesystem::is_directory(folder, failure)) {
        error = "gimbalo-replay: cannot use the settings folder " + chosen + ": " +
                (failure ? failure.message() : std::string("not a folder"));
        return false;
    }
    const std::u8string full = std::filesystem::absolute(folder, failure).u8string();
    path_ = failure ? chosen : std::string(full.begin(), full.end());
    return true;
}

}  // namespace gimbalo
