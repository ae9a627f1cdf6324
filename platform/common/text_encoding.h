// Text read from files into the program's own encoding, and character counts
// on that text.
//
// The program's text is UTF-8 on both desktops (the Windows backend converts
// at the wide calls). A language file may come from either system: on a
// UTF-8 program a file that is valid UTF-8 is taken as it is and any other
// file is read as Windows-1252. On a program whose text is an 8-bit code page
// (the sim can stand for one) every byte is one character.
// Lengths and cuts count characters (code points on UTF-8), never bytes, so a
// text with accented letters cuts where a reader expects.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gimbalo {

// Whether `bytes` is well-formed UTF-8: no overlong forms, no surrogates,
// nothing beyond U+10FFFF, no cut sequence.
bool IsValidUtf8(std::string_view bytes);

// Windows-1252 to UTF-8. The five bytes the code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD, so a stray byte shows as a mark
// rather than as an invisible control character.
std::string Windows1252ToUtf8(std::string_view bytes);

// A whole file's bytes as the program's text. A leading UTF-8 byte-order mark
// is dropped on both kinds of program: it marks the encoding and is no part of
// the first line.
std::string DecodeFileText(std::string_view bytes, bool textIsUtf8);

// A file of lines (the settings file) as the program's text, by the
// byte-order mark it starts with: UTF-16 in either byte order, as a Windows
// editor saves "Unicode" text, is converted; a UTF-8 mark is dropped; bytes
// without a mark stay as they are (8-bit text). Nothing when the bytes cannot
// be read as text: a NUL character (UTF-16 without a mark, among others),
// UTF-16 cut short or holding a lone surrogate, or, on a program whose text is
// an 8-bit code page, a character that Windows-1252 has no place for.
std::optional<std::string> TextOfMarkedFile(std::string_view bytes, bool textIsUtf8);

// The code point of the UTF-8 sequence that starts at byte `i` of `text`,
// which is well-formed UTF-8 (`i` below its size); `i` moves past the
// sequence. A sequence cut short by the text's end is not read past it.
char32_t NextCodePoint(std::string_view text, std::size_t& i);

// Appends the UTF-8 sequence of code point `c`.
void AppendUtf8(std::string& out, char32_t c);

// Number of characters of `text`.
std::size_t CharacterCount(std::string_view text, bool textIsUtf8);

// The characters of `text` from the one numbered `first` (from 0) to its end;
// empty when the text is shorter.
std::string CharactersFrom(std::string_view text, std::size_t first, bool textIsUtf8);

// The first `count` characters of `text` (all of them when it is shorter).
std::string FirstCharacters(std::string_view text, std::size_t count, bool textIsUtf8);

// `text` less its last `count` characters (empty when it is shorter).
std::string WithoutLastCharacters(std::string_view text, std::size_t count, bool textIsUtf8);

}  // namespace gimbalo
