// Which language file is in use: chosen at start-up from the stored name or
// the user's country, and from the Language command of the popup menu.
#pragma once

#include <string>

namespace gimbalo {

class Program;

// Language files the program names itself.
constexpr const char* kItalianLanguage = "Italiano.lng";
constexpr const char* kEnglishLanguage = "English.lng";

// The language for a user whose country has the English name `country`:
// Italian for Italy, English for everybody else.
std::string LanguageForCountry(const std::string& country);

// The language file named by a path chosen in the language dialog: what
// follows the last separator + "Lang" + separator (exact letter case), or
// `current` when the path holds no such folder.
std::string LanguageFromChosenPath(const std::string& path, char separator,
                                   const std::string& current);

// Start-up: takes the stored name, or the locale's choice when the stored
// name is blank or could not be stored again (CanStoreLanguageName); loads it
// and captions the menu. Nothing is saved here.
void SelectStartupLanguage(Program& program, const std::string& storedName);

// The Language command (mnuLingua): lets the user pick a language file, loads
// it, closes the options dialog so that it reopens in the new language,
// captions the menu and saves the settings. After a cancel the last three
// steps run all the same. A chosen name that the settings file cannot hold
// is refused: the language in use stays and is loaded again.
void RunLanguageCommand(Program& program);

}  // namespace gimbalo
