#include "lang/language_choice.h"

#include <cctype>
#include <vector>

#include "app/program.h"
#include "core/settings.h"
#include "lang/file_dialogs.h"
#include "lang/language_file.h"
#include "lang/locale_query.h"
#include "platform/common/text_encoding.h"

namespace gimbalo {

namespace {

std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string LanguageForCountry(const std::string& country) {
    std::string start = country.substr(0, 2);
    for (char& c : start) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return start == "it" ? kItalianLanguage : kEnglishLanguage;
}

std::string LanguageFromChosenPath(const std::string& path, char separator,
                                   const std::string& current) {
    const std::string marker = std::string(1, separator) + kLanguageFolderName + separator;
    const auto found = path.rfind(marker);
    if (found == std::string::npos) return current;
    return path.substr(found + marker.size());
}

void SelectStartupLanguage(Program& program, const std::string& storedName) {
    // A name the settings file cannot hold again (one with a line break) is
    // refused as if none were stored, so the file never grows a ninth line.
    if (TrimBlanks(storedName).empty() || !CanStoreLanguageName(storedName))
        program.settings.LangFileName =
            LanguageForCountry(QueryLocaleInfo(program.platform, LOCALE_SENGCOUNTRY));
    else
        program.settings.LangFileName = storedName;
    LoadLanguageFile(program);
    program.main.ApplyMenuCaptions();
}

void RunLanguageCommand(Program& program) {
    Platform& platform = program.platform;
    const bool utf8 = platform.TextIsUtf8();
    const std::string& menuText = program.LangText[26];
    bool chose = false;
    if (CharacterCount(menuText, utf8) >= 3) {
        std::string filter = WithoutLastCharacters(menuText, 3, utf8);
        filter += '\0';
        filter += "*.lng";
        const FileDialogOptions options{
            .Flags = nullptr,
            .InitDir = program.ProgramPath(kLanguageFolderName),
            .Filter = filter,
            .FilterIndex = 1,
            .DefaultExt = "lng",
            .FileName = "",
            .DialogTitle = program.LangText[15],
            .OwnerWindow = program.main,
            .OpenFile = true,
        };
        const std::vector<std::string> chosen = ShowFileDialog(platform, options);
        if (!chosen.empty() && !chosen.front().empty()) {
            chose = true;
            const std::string name = LanguageFromChosenPath(
                chosen.front(), platform.PathSeparator(), program.settings.LangFileName);
            // A file name may hold a line break on some desktops; the settings
            // file could not hold it, so the name in use stays.
            if (CanStoreLanguageName(name)) program.settings.LangFileName = name;
            LoadLanguageFile(program);
        }
    }
    program.UnloadOptionsDialog();
    program.main.ApplyMenuCaptions();
    // A settings file kept because it could not be read is replaced only when
    // the user chose a language.
    program.SaveSettings(chose ? Program::SaveRequest::User : Program::SaveRequest::Routine);
}

}  // namespace gimbalo
