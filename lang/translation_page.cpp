#include "lang/translation_page.h"

#include <algorithm>
#include <cctype>

#include "core/maker.h"
#include "lang/language_file.h"
#include "lang/text_file.h"
#include "platform/common/text_encoding.h"
#include "platform/program_call.h"

namespace gimbalo {
namespace {

// Shown in a cell whose reference line has no text; the cell drops its first
// three characters as it does a language-file line's, leaving 11 dots.
constexpr const char* kPlaceholder = "..............";

// Column names: the first two are also the reference files' base names.
constexpr const char* kReferenceNames[] = {"English", "Italiano"};
constexpr const char* kTranslationColumn = "Traduzione / Traduction";

constexpr const char* kHeaderCellStart = "<TD><STRONG><EM><FONT COLOR=#ff0000><CENTER>";
constexpr const char* kHeaderCellEnd = "</CENTER></FONT></EM></STRONG></TD>";

// The entity of a character that means markup, or null.
const char* MarkupEntity(char ch) {
    switch (ch) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '"':
            return "&quot;";
        default:
            return nullptr;
    }
}

// A reference text as cell content: the characters that mean markup are
// escaped, so a language file cannot add markup to the page. On a UTF-8
// program every character beyond ASCII is written as a character reference,
// so the page reads the same whatever encoding the browser assumes for it.
std::string HtmlText(std::string_view text, bool textIsUtf8) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (textIsUtf8 && static_cast<unsigned char>(text[i]) >= 0x80) {
            out += "&#" + std::to_string(static_cast<uint32_t>(NextCodePoint(text, i))) + ";";
        } else if (const char* entity = MarkupEntity(text[i])) {
            out += entity;
            ++i;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string CellText(const ReferenceLines& lines, std::size_t row, bool textIsUtf8) {
    std::string text;
    if (lines && row < lines->size()) text = (*lines)[row];
    // A line too short for its three leading characters has no text either.
    if (CharacterCount(text, textIsUtf8) < kLeadingCharacters) text = kPlaceholder;
    return HtmlText(CharactersFrom(text, kLeadingCharacters, textIsUtf8), textIsUtf8);
}

std::string UpperCase(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return text;
}

}  // namespace

std::string TranslationPageText(const ReferenceLines& english, const ReferenceLines& italiano,
                                bool textIsUtf8) {
    std::string page;
    auto line = [&page](const std::string& text) {
        page += text;
        page += "\r\n";
    };
    const std::string product = kProductName;

    line("<HTML><HEAD><TITLE>Traduzione / Traduction software " + UpperCase(product) +
         "</TITLE></HEAD><BODY>");
    line(std::string("<FORM Action = \"mailto:") + kTranslationContact +
         "\" method = \"POST\" name=\"Nuova Traduzione " + product + "\">");
    line("<P>Nome lingua / Name language: <input type=text name=\"Nome Lingua\">");
    line("<P>Nome traduttore / Name translator: <input type=text name=\"Nome Translator\">");
    line(
        "<BR><BR><TABLE BORDER=1><TBODY><TR><TD><STRONG><EM><FONT COLOR=#ff0000><CENTER>N."
        "</CENTER></FONT></EM></STRONG></TD>");
    for (const char* column : kReferenceNames)
        line(std::string(kHeaderCellStart) + column + kHeaderCellEnd);
    line(std::string(kHeaderCellStart) + kTranslationColumn + kHeaderCellEnd);
    line("</TR>");

    const std::size_t rows =
        std::max(english ? english->size() : 0, italiano ? italiano->size() : 0);
    for (std::size_t row = 0; row < rows; ++row) {
        line("<TR><TD><STRONG><EM><FONT COLOR=#ff0000><CENTER>" + std::to_string(row + 1) +
             kHeaderCellEnd);
        if (row < kReferenceLinesKept) {
            line("<TD>" + CellText(english, row, textIsUtf8) + "</TD>");
            line("<TD>" + CellText(italiano, row, textIsUtf8) + "</TD>");
        }
        line("<TD><input type=text name=\"Traduzione" + std::to_string(row) + "\"></TD></TR>");
    }

    line(
        "</TBODY></TABLE></P><P align=right><INPUT value=\"Invia traduzione / Send Traduction\" "
        "type=submit></P></FORM></BODY></HTML>");
    return page;
}

std::string TranslationPagePath(Platform& platform) {
    const std::string folder = platform.SettingsFolder();
    return folder.empty() ? folder : folder + platform.PathSeparator() + kTranslationPageName;
}

bool WriteTranslationPage(Platform& platform) {
    const bool utf8 = platform.TextIsUtf8();
    const std::string folder = LanguageFolder(platform) + platform.PathSeparator();
    const ReferenceLines english = ReadTextFileLines(folder + kReferenceNames[0] + ".lng", utf8);
    const ReferenceLines italiano = ReadTextFileLines(folder + kReferenceNames[1] + ".lng", utf8);
    // A link under the page's name is replaced, never written through.
    return ReplaceFile(TranslationPagePath(platform), TranslationPageText(english, italiano, utf8),
                       utf8, LinkAtPath::Replaced);
}

void ShowTranslationPage(Platform& platform) {
    WriteTranslationPage(platform);
    // Without a settings folder there is no page to open.
    if (TranslationPagePath(platform).empty()) return;
    platform.StartProgram(ExplorerCommand("explorer", TranslationPagePath(platform)),
                          SW_SHOWMAXIMIZED);
}

}  // namespace gimbalo
