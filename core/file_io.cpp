#include "core/file_io.h"

#include <fstream>
#include <random>
#include <system_error>

namespace gimbalo {

std::filesystem::path FileSystemPath(const std::string& path, bool textIsUtf8) {
    if (!textIsUtf8) return std::filesystem::path(path);
    const std::u8string utf8(path.begin(), path.end());
    return std::filesystem::path(utf8);
}

std::string AddSeparator(const std::string& folder, char separator) {
    if (!folder.empty() && folder.back() == separator) return folder;
    return folder + separator;
}

std::optional<std::string> ReadWholeFile(const std::string& path, bool textIsUtf8) {
    std::ifstream in(FileSystemPath(path, textIsUtf8), std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    char block[4096];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        bytes.append(block, static_cast<std::size_t>(in.gcount()));
    return bytes;
}

bool ReplaceFile(const std::string& path, std::string_view content, bool textIsUtf8) {
    namespace fs = std::filesystem;
    const fs::path target = FileSystemPath(path, textIsUtf8);
    std::random_device random;
    fs::path temporary = target;
    temporary += ".tmp" + std::to_string(random() % 1000000);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace gimbalo
