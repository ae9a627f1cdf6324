// Shared by the sim tests: a fresh temporary folder per test.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace gimbalo::testing {

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("gimbalo-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // With '/' between folders on every system, as the sim platform joins
    // paths, so a path the program builds reads the same as the test's.
    std::string Path() const { return path_.generic_string(); }
    std::string File(const std::string& name) const { return Path() + "/" + name; }

private:
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// `units` as UTF-16 with its byte-order mark, as a Windows editor saves
// "Unicode" text.
inline std::string Utf16(const std::u16string& units, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : units)
        for (int shift : {bigEndian ? 8 : 0, bigEndian ? 0 : 8}) bytes += char(unit >> shift);
    return bytes;
}

inline void WriteFile(const std::string& path, const std::string& content) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

// The pointer's move in pixels at the `tick`-th tick (from 1) the stick is
// held over at speed 2 with acceleration: 2, 2.8, 4.06, 6.09, then 9.4395,
// rounded, growing after the 20th, 40th, 60th and 80th. One table for all.
constexpr int GrowingStepAt(int tick) {
    return tick <= 20 ? 2 : tick <= 40 ? 3 : tick <= 60 ? 4 : tick <= 80 ? 6 : 9;
}

}  // namespace gimbalo::testing
