// Shared by the fuzz harnesses: taking values from the fuzzer's bytes, a
// folder of the harness's own, and a check that stops the run with a message
// when the program does not do what it must.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace gimbalo::fuzz {

// Stops the run as a finding, so the fuzzer keeps the input that led here.
#define FUZZ_REQUIRE(condition, message)                                            \
    do {                                                                            \
        if (!(condition)) {                                                         \
            std::fprintf(stderr, "%s:%d: %s: %s\n", __FILE__, __LINE__, #condition, \
                         std::string(message).c_str());                             \
            std::abort();                                                           \
        }                                                                           \
    } while (false)

// Values taken in order from the fuzzer's bytes; past the end they are 0.
class Input {
public:
    Input(const uint8_t* data, std::size_t size)
        : bytes_(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return pos_ >= bytes_.size(); }
    uint8_t Byte() { return Empty() ? 0 : static_cast<uint8_t>(bytes_[pos_++]); }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
    // A value from 0 to `count` - 1.
    std::size_t Pick(std::size_t count) { return count == 0 ? 0 : Byte() % count; }
    // Up to `longest` bytes, the length coming first.
    std::string Text(std::size_t longest) {
        const std::size_t length = std::min<std::size_t>(Byte(), longest);
        return Take(length);
    }
    std::string Take(std::size_t length) {
        const std::string text(bytes_.substr(pos_, length));
        pos_ += text.size();
        return text;
    }
    std::string Rest() { return Take(bytes_.size()); }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// A folder for this process's files, made when first asked for and removed
// when the run ends.
inline const std::string& Folder() {
    struct OwnFolder {
        OwnFolder()
            : path((std::filesystem::temp_directory_path() /
                    ("gimbalo-fuzz-" + std::to_string(::getpid())))
                       .string()) {
            std::filesystem::create_directories(path);
        }
        ~OwnFolder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
        std::string path;
    };
    static const OwnFolder folder;
    return folder.path;
}

}  // namespace gimbalo::fuzz
