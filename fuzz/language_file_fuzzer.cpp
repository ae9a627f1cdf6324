// A language file as any bytes: decoded into the program's text, split into
// lines that hold no line break, loaded into the table by line number, and
// shown on the translation page as text only: whatever the file holds, the
// page carries no markup from it and shows each line's text exactly.
#include <filesystem>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "fuzz/fuzz_support.h"
#include "lang/language_file.h"
#include "lang/text_file.h"
#include "lang/translation_page.h"
#include "platform/common/text_encoding.h"
#include "platform/sim/sim_platform.h"

using namespace gimbalo;

namespace {

// A cell's content as the browser shows it; stops the run at anything that
// is markup rather than text.
std::string ShownText(std::string_view cell, bool utf8) {
    std::string shown;
    for (std::size_t i = 0; i < cell.size();) {
        const char ch = cell[i];
        FUZZ_REQUIRE(ch != '<' && ch != '>' && ch != '"', "markup in a cell: " + std::string(cell));
        if (utf8) FUZZ_REQUIRE(static_cast<unsigned char>(ch) < 0x80, "a raw byte on a UTF-8 page");
        if (ch != '&') {
            shown += ch;
            ++i;
            continue;
        }
        const std::size_t end = cell.find(';', i);
        FUZZ_REQUIRE(end != std::string_view::npos, "an ampersand that starts no entity");
        const std::string_view entity = cell.substr(i, end + 1 - i);
        if (entity == "&amp;") {
            shown += '&';
        } else if (entity == "&lt;") {
            shown += '<';
        } else if (entity == "&gt;") {
            shown += '>';
        } else if (entity == "&quot;") {
            shown += '"';
        } else {
            FUZZ_REQUIRE(utf8 && entity.starts_with("&#") && entity.size() > 3,
                         "unknown entity " + std::string(entity));
            uint32_t code = 0;
            for (char digit : entity.substr(2, entity.size() - 3)) {
                FUZZ_REQUIRE(digit >= '0' && digit <= '9' && code < 0x110000,
                             "bad character reference");
                code = code * 10 + static_cast<uint32_t>(digit - '0');
            }
            AppendUtf8(shown, static_cast<char32_t>(code));
        }
        i = end + 1;
    }
    return shown;
}

std::string CellFor(const std::vector<std::string>& lines, std::size_t row, bool utf8) {
    std::string text = row < lines.size() ? lines[row] : std::string();
    if (CharacterCount(text, utf8) < kLeadingCharacters) text = "..............";
    return CharactersFrom(text, kLeadingCharacters, utf8);
}

void CheckPage(const std::vector<std::string>& english, const std::vector<std::string>& italiano,
               bool utf8) {
    const std::string page = TranslationPageText(english, italiano, utf8);
    const std::vector<std::string> pageLines = SplitLines(page);
    const std::size_t rows = std::max(english.size(), italiano.size());
    const std::size_t withCells = std::min(rows, kReferenceLinesKept);
    FUZZ_REQUIRE(pageLines.size() == 10 + 4 * withCells + 2 * (rows - withCells),
                 "one row per reference line");
    std::size_t at = 9;
    for (std::size_t row = 0; row < withCells; ++row, at += 4) {
        for (std::size_t column = 0; column < 2; ++column) {
            const std::string& line = pageLines[at + 1 + column];
            FUZZ_REQUIRE(line.starts_with("<TD>") && line.ends_with("</TD>"), "a cell: " + line);
            const std::string shown =
                ShownText(std::string_view(line).substr(4, line.size() - 9), utf8);
            FUZZ_REQUIRE(shown == CellFor(column == 0 ? english : italiano, row, utf8),
                         "the cell shows the line's text");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const bool utf8 = (in.Byte() & 1) == 0;
    const std::string bytes = in.Rest();

    const std::string text = DecodeFileText(bytes, utf8);
    if (utf8) FUZZ_REQUIRE(IsValidUtf8(text), "decoded text is UTF-8");
    const std::vector<std::string> lines = SplitLines(text);
    for (const std::string& line : lines)
        FUZZ_REQUIRE(line.find_first_of("\r\n") == std::string::npos, "a line holds no break");

    LangTable table;
    table.fill("before");
    FillLangText(table, lines, utf8);
    FUZZ_REQUIRE(table[0] == "before", "entry 0 is never filled");
    for (std::size_t n = 1; n < table.size(); ++n) {
        const bool filled = n <= lines.size() && CharacterCount(lines[n - 1], utf8) >= 2;
        const std::string expected =
            filled ? CharactersFrom(lines[n - 1], kLeadingCharacters, utf8) : "before";
        FUZZ_REQUIRE(table[n] == expected, "entry " + std::to_string(n));
        if (filled)
            FUZZ_REQUIRE(
                FirstCharacters(lines[n - 1], kLeadingCharacters, utf8) + table[n] == lines[n - 1],
                "the three leading characters and the text make the line");
    }

    // The same file read from the language folder.
    static const bool made = std::filesystem::create_directories(fuzz::Folder() + "/Lang") || true;
    (void)made;
    {
        std::FILE* file = std::fopen((fuzz::Folder() + "/Lang/Fuzz.lng").c_str(), "wb");
        FUZZ_REQUIRE(file != nullptr, "the language file can be written");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        SimPlatform sim(fuzz::Folder());
        sim.SetTextIsUtf8(utf8);
        LangTable loaded;
        loaded.fill("before");
        LoadLanguageFile(sim, "Fuzz.lng", loaded);
        FUZZ_REQUIRE(loaded == table, "the file loads as its bytes read");
    }

    // Split in two, as the English and Italian references.
    const std::size_t half = lines.size() / 2;
    CheckPage(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(half)),
              std::vector<std::string>(lines.begin() + static_cast<long>(half), lines.end()), utf8);
    return 0;
}
