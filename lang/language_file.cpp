#include "lang/language_file.h"

#include <algorithm>
#include <string_view>

#include "lang/text_file.h"
#include "platform/common/text_encoding.h"

namespace gimbalo {

std::string LanguageFolder(Platform& platform) {
    return platform.ProgramFolder() + platform.PathSeparator() + kLanguageFolderName;
}

bool IsLanguageFileName(const std::string& langFileName) {
    if (langFileName.find_first_of(std::string(":\r\n\0", 4)) != std::string::npos) return false;
    std::size_t start = 0;
    while (true) {
        const std::size_t end =
            std::min(langFileName.find_first_of("/\\", start), langFileName.size());
        const std::string_view part = std::string_view(langFileName).substr(start, end - start);
        if (part.find_first_not_of(". ") == std::string_view::npos) return false;
        if (end == langFileName.size()) return true;
        start = end + 1;
    }
}

std::optional<std::string> LanguageFilePath(Platform& platform, const std::string& langFileName) {
    if (!IsLanguageFileName(langFileName)) return std::nullopt;
    const char separator = platform.PathSeparator();
    std::string relative = langFileName;
    if (separator != '\\') std::replace(relative.begin(), relative.end(), '\\', separator);
    return LanguageFolder(platform) + separator + relative;
}

void FillLangText(LangTable& table, const std::vector<std::string>& lines, bool textIsUtf8) {
    const std::size_t usable = std::min(lines.size(), table.size() - 1);
    for (std::size_t n = 1; n <= usable; ++n) {
        const std::string& line = lines[n - 1];
        if (CharacterCount(line, textIsUtf8) < 2) continue;
        table[n] = CharactersFrom(line, kLeadingCharacters, textIsUtf8);
    }
}

void LoadLanguageFile(Platform& platform, const std::string& langFileName, LangTable& table) {
    const bool utf8 = platform.TextIsUtf8();
    const std::optional<std::string> path = LanguageFilePath(platform, langFileName);
    if (!path) return;
    if (auto lines = ReadTextFileLines(*path, utf8)) FillLangText(table, *lines, utf8);
}

}  // namespace gimbalo
