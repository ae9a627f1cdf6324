#include "lang/text_file.h"

#include "platform/common/text_encoding.h"

namespace gimbalo {

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char ch = text[i];
        if (ch != '\r' && ch != '\n') {
            ++i;
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        i += (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::optional<std::vector<std::string>> ReadTextFileLines(const std::string& path,
                                                          bool textIsUtf8) {
    const ReadResult file = ReadSmallFile(path, textIsUtf8);
    if (file.status != ReadStatus::Read) return std::nullopt;
    return SplitLines(DecodeFileText(file.bytes, textIsUtf8));
}

}  // namespace gimbalo
