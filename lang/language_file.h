// The language files: one text per line, line n filling entry n of the
// string table.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "lang/lang_text.h"
#include "platform/platform.h"

namespace gimbalo {

// Name of the folder of language files below the program folder.
constexpr const char* kLanguageFolderName = "Lang";

// Characters before the text of each line of a language file; the program
// never reads them.
constexpr std::size_t kLeadingCharacters = 3;

// The language folder: the program folder, the separator, "Lang".
std::string LanguageFolder(Platform& platform);

// Whether `langFileName` names a file inside the language folder: parts
// joined by '/' or '\' ("Deutsch.lng", "extra\Deutsch.lng"), none of them
// empty (so no absolute path), none of only dots and blanks (which Windows
// reads as "." or ".."), and no colon (a drive or a stream), NUL or line
// break anywhere. Any other name is a missing file.
bool IsLanguageFileName(const std::string& langFileName);

// Full path of the language file `langFileName`, which is relative to the
// language folder and may hold a subfolder part; nothing when it is not a
// language-file name. A name stored by the Windows program holds backslashes
// ("extra\Deutsch.lng"); on a platform whose separator is another character
// they become that separator.
std::optional<std::string> LanguageFilePath(Platform& platform, const std::string& langFileName);

// Fills the table from the lines of a language file: line n (from 1) sets
// entry n for n up to 100, without its first three characters, when the line
// has at least two characters. Other entries keep their texts.
void FillLangText(LangTable& table, const std::vector<std::string>& lines, bool textIsUtf8);

// Reads `langFileName` from the language folder into `table`. A file that
// cannot be opened, is no regular file, is longer than kMaxFileBytes or whose
// name is no language-file name changes nothing; loading never clears the
// table.
void LoadLanguageFile(Platform& platform, const std::string& langFileName, LangTable& table);

}  // namespace gimbalo
