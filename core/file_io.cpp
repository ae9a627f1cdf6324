#include "core/file_io.h"

#include <random>
#include <system_error>

namespace gimbalo {

namespace {

constexpr std::string_view kTemporaryMark = ".tmp";
constexpr std::size_t kTemporaryDigits = 6;

// Removes what a killed or powered-off earlier save left beside `target`.
void RemoveStaleTemporaries(const std::filesystem::path& target) {
    namespace fs = std::filesystem;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string fileName = target.filename().string();
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::path& entry = entries->path();
        if (!IsTemporaryFileName(entry.filename().string(), fileName)) continue;
        std::error_code ignored;
        if (fs::is_regular_file(fs::symlink_status(entry, ignored))) fs::remove(entry, ignored);
    }
}

// Where the file at `path` lives: the file a symbolic link leads to (a
// settings file kept with the user's other configuration and linked here),
// so that replacing it leaves the link in place; `path` itself otherwise,
// and for a link that leads nowhere.
std::string WhereFileLives(const std::string& path, bool textIsUtf8) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path given = FileSystemPath(path, textIsUtf8);
    if (!fs::is_symlink(given, error)) return path;
    const fs::path target = fs::canonical(given, error);
    if (error) return path;
    if (!textIsUtf8) return target.string();
    const std::u8string text = target.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::string AddSeparator(const std::string& folder, char separator) {
    if (!folder.empty() && folder.back() == separator) return folder;
    return folder + separator;
}

ReadResult ReadSmallFile(const std::string& path, bool textIsUtf8) {
    return ReadRegularFile(path, kMaxFileBytes, textIsUtf8);
}

bool IsTemporaryFileName(std::string_view name, std::string_view fileName) {
    if (fileName.empty() || !name.starts_with(fileName)) return false;
    name.remove_prefix(fileName.size());
    if (!name.starts_with(kTemporaryMark)) return false;
    name.remove_prefix(kTemporaryMark.size());
    if (name.empty() || name.size() > kTemporaryDigits) return false;
    for (char ch : name)
        if (ch < '0' || ch > '9') return false;
    return true;
}

bool ReplaceFile(const std::string& given, std::string_view content, bool textIsUtf8,
                 LinkAtPath links) {
    // No name, no file: never a temporary in the working folder.
    if (given.empty()) return false;
    const std::string path =
        links == LinkAtPath::Followed ? WhereFileLives(given, textIsUtf8) : given;
    RemoveStaleTemporaries(FileSystemPath(path, textIsUtf8));
    std::random_device random;
    std::uniform_int_distribution<int> digits(0, 999999);
    // Another name when one is taken: only a file being written right now by
    // another copy of the program can hold it.
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string number = std::to_string(digits(random));
        number.insert(0, kTemporaryDigits - number.size(), '0');
        const std::string temporary = path + std::string(kTemporaryMark) + number;
        switch (WriteFileThroughTemporary(path, temporary, content, textIsUtf8, links)) {
            case WriteStatus::Replaced:
            case WriteStatus::WrittenInPlace:
                return true;
            case WriteStatus::TemporaryTaken:
                continue;
            case WriteStatus::ReadOnly:
            case WriteStatus::Failed:
                return false;
        }
    }
    return false;
}

}  // namespace gimbalo
