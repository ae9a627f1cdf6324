// Which language file is in use: chosen at start-up from the stored name or
// the user's country, and from the Language command of the popup menu.
#pragma once

#include <string>

#include "core/settings.h"
#include "lang/lang_text.h"
#include "platform/forms.h"
#include "platform/platform.h"

namespace gimbalo {

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
// name is blank or could not be stored again (CanStoreLanguageName), into
// `settings` and loads it into `text`. Nothing is saved here.
void SelectStartupLanguage(Platform& platform, Settings& settings, LangTable& text,
                           const std::string& storedName);

enum class LanguageCommandResult {
    FileChosen,    // the settings hold what the user chose
    NoFileChosen,  // a cancel, or no dialog: the menu's text is too short for its filter
};

// The Language command (mnuLingua): lets the user pick a language file, in a
// dialog owned by `owner`, and loads it. A chosen name that the settings file
// cannot hold is refused: the language in use stays and is loaded again. The
// caller then closes the options dialog so that it reopens in the new
// language, captions the menu and saves the settings, after a cancel too.
LanguageCommandResult RunLanguageCommand(Platform& platform, Settings& settings, LangTable& text,
                                         Form& owner);

}  // namespace gimbalo
