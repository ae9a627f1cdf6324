// The translation page, "Invia_Traduzione.html": a form showing the English
// and Italian text of every language-file line beside an empty field for the
// translation, sent by e-mail to the maker's translation contact.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace gimbalo {

constexpr const char* kTranslationPageName = "Invia_Traduzione.html";

// Lines of the reference files kept for the page; later lines still count
// as rows.
constexpr std::size_t kReferenceLinesKept = 201;

// One reference language file as the page uses it: its lines, or nothing
// when the file could not be opened.
using ReferenceLines = std::optional<std::vector<std::string>>;

// The whole page, every line ended by CR LF, built from the lines of
// English.lng and Italiano.lng (the program's text). One row per line of the
// longer file.
std::string TranslationPageText(const ReferenceLines& english, const ReferenceLines& italiano,
                                bool textIsUtf8);

// Full path of the page: the settings folder, the separator, the page's name.
std::string TranslationPagePath(Platform& platform);

// Reads the reference files from the language folder and writes the page.
// False when it could not be written; an earlier page then stays whole.
bool WriteTranslationPage(Platform& platform);

// The command behind the menu item mnuAggLingua: writes the page and opens it
// in the desktop's browser, maximised. The page is opened even when it could
// not be written, so an earlier one still shows.
void ShowTranslationPage(Platform& platform);

}  // namespace gimbalo
