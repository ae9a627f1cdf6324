#include "lang/language_choice.h"

#include <cctype>
#include <vector>

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

void SelectStartupLanguage(Platform& platform, Settings& settings, LangTable& text,
                           const std::string& storedName) {
    // A name the settings file cannot hold again (one with a line break) is
    // refused as if none were stored, so the file never grows a ninth line.
    if (TrimBlanks(storedName).empty() || !CanStoreLanguageName(storedName))
        settings.LangFileName = LanguageForCountry(QueryLocaleInfo(platform, LOCALE_SENGCOUNTRY));
    else
        settings.LangFileName = storedName;
    LoadLanguageFile(platform, settings.LangFileName, text);
}

LanguageCommandResult RunLanguageCommand(Platform& platform, Settings& settings, LangTable& text,
                                         Form& owner) {
    const bool utf8 = platform.TextIsUtf8();
    const std::string& menuText = text[TextId::LanguageItem];
    if (CharacterCount(menuText, utf8) < 3) return LanguageCommandResult::NoFileChosen;
    std::string filter = WithoutLastCharacters(menuText, 3, utf8);
    filter += '\0';
    filter += "*.lng";
    const FileDialogOptions options{
        .Flags = nullptr,
        .InitDir = LanguageFolder(platform),
        .Filter = filter,
        .FilterIndex = 1,
        .DefaultExt = "lng",
        .FileName = "",
        .DialogTitle = text[TextId::LanguageLine],
        .OwnerWindow = owner,
        .OpenFile = true,
    };
    const std::vector<std::string> chosen = ShowFileDialog(platform, options);
    if (chosen.empty() || chosen.front().empty()) return LanguageCommandResult::NoFileChosen;
    const std::string name =
        LanguageFromChosenPath(chosen.front(), platform.PathSeparator(), settings.LangFileName);
    // A file name may hold a line break on some desktops; the settings file
    // could not hold it, so the name in use stays.
    if (CanStoreLanguageName(name)) settings.LangFileName = name;
    LoadLanguageFile(platform, settings.LangFileName, text);
    return LanguageCommandResult::FileChosen;
}

}  // namespace gimbalo
