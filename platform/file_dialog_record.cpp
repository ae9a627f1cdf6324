#include "platform/file_dialog_record.h"

#include <algorithm>
#include <string_view>

#include "platform/common/text_encoding.h"

namespace gimbalo {

namespace {

// Offset in characters of the extension of the file name that starts at byte
// `nameOffsetBytes` of `path`: just after the name's last dot; the end of the
// path when the name has no dot; 0 when the name ends with its dot.
uint16_t ExtensionOffset(const std::string& path, std::size_t nameOffsetBytes) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameOffsetBytes)
        return static_cast<uint16_t>(CharacterCount(path, true));
    if (dot + 1 == path.size()) return 0;
    return static_cast<uint16_t>(CharacterCount(std::string_view(path).substr(0, dot + 1), true));
}

// Puts `text` (NUL characters included) into the record's buffer of
// `size` characters, NUL-padded; false when it does not fit with a closing NUL.
bool FillBuffer(std::string& buffer, uint32_t size, const std::string& text) {
    const std::size_t characters = CharacterCount(text, true);
    if (size == 0 || characters + 1 > size) return false;
    buffer = text;
    buffer.append(size - characters, '\0');
    return true;
}

// Where the file name of a full path starts.
std::size_t NameOffset(const std::string& path, std::string_view separators) {
    const std::size_t slash = path.find_last_of(separators);
    return slash == std::string::npos ? 0 : slash + 1;
}

// The folder of a full path; the root keeps its slash.
std::string Folder(const std::string& path, std::string_view separators) {
    const std::size_t slash = path.find_last_of(separators);
    if (slash == std::string::npos) return std::string();
    return path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> FilterPairs(const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < filter.size()) {
        const std::size_t end = std::min(filter.find('\0', start), filter.size());
        if (end == start) break;  // two NULs in a row end the list
        parts.push_back(filter.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        pairs.emplace_back(parts[i], parts[i + 1]);
    return pairs;
}

uint32_t FirstFilterIndex(uint32_t requested, std::size_t count) {
    return requested >= 1 && requested <= count ? requested : 1;
}

bool RecordChosenFiles(OPENFILENAME& record, const std::vector<std::string>& chosen,
                       std::string_view separators) {
    if (chosen.empty()) return false;
    std::string result;
    std::size_t nameOffsetBytes = 0;
    if (chosen.size() == 1) {
        result = chosen.front();
        nameOffsetBytes = NameOffset(result, separators);
    } else {
        // The folder, then each name, each closed by a NUL, and one NUL more.
        result = Folder(chosen.front(), separators);
        result.push_back('\0');
        nameOffsetBytes = result.size();
        for (const std::string& file : chosen) {
            result += file.substr(NameOffset(file, separators));
            result.push_back('\0');
        }
    }
    if (!FillBuffer(record.lpstrFile, record.nMaxFile, result)) return false;

    record.nFileOffset = static_cast<uint16_t>(
        CharacterCount(std::string_view(result).substr(0, nameOffsetBytes), true));
    record.nFileExtension = chosen.size() == 1 ? ExtensionOffset(result, nameOffsetBytes) : 0;
    if (record.nMaxFileTitle > 0 && chosen.size() == 1)
        FillBuffer(record.lpstrFileTitle, record.nMaxFileTitle,
                   chosen.front().substr(NameOffset(chosen.front(), separators)));
    return true;
}

}  // namespace gimbalo
