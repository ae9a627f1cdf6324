#include "lang/language_file.h"

#include <algorithm>

#include "core/program.h"
#include "lang/text_encoding.h"
#include "lang/text_file.h"

namespace gimbalo {

std::string LanguageFolder(Platform& platform) {
    return platform.ProgramFolder() + platform.PathSeparator() + kLanguageFolderName;
}

std::string LanguageFilePath(Platform& platform, const std::string& langFileName) {
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
    if (auto lines = ReadTextFileLines(LanguageFilePath(platform, langFileName), utf8))
        FillLangText(table, *lines, utf8);
}

void LoadLanguageFile(Program& program) {
    LoadLanguageFile(program.platform, program.settings.LangFileName, program.LangText);
}

}  // namespace gimbalo
