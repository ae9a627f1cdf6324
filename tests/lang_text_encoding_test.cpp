// Reading language files made on either system: UTF-8 or Windows-1252 bytes
// become the program's text, and lengths count characters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/common/text_encoding.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

TEST(TextEncodingTest, RecognisesWellFormedUtf8Only) {
    struct Case {
        const char* bytes;
        bool valid;
        const char* what;
    } cases[] = {
        {"plain ASCII", true, "ASCII"},
        {"Velocit\xC3\xA0", true, "two-byte letter"},
        {"\xE2\x80\xA6 \xE2\x82\xAC", true, "ellipsis and euro sign"},
        {"\xF0\x9F\x98\x80", true, "four-byte character"},
        {"Velocit\xE0", false, "Windows-1252 a grave at the end"},
        {"Velocit\xE0 del", false, "Windows-1252 a grave before a blank"},
        {"\x85", false, "lone Windows-1252 ellipsis"},
        {"\xC0\xAF", false, "overlong slash"},
        {"\xE0\x80\xAF", false, "overlong three-byte form"},
        {"\xED\xA0\x80", false, "surrogate"},
        {"\xF4\x90\x80\x80", false, "beyond U+10FFFF"},
        {"\xE2\x80", false, "cut sequence"},
        {"\xFF", false, "byte never used in UTF-8"},
    };
    for (const Case& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.what;
}

TEST(TextEncodingTest, ConvertsTheWholeWindows1252Table) {
    struct Case {
        const char* bytes;
        const char* utf8;
    } cases[] = {
        {"\x80", "\xE2\x82\xAC"},  // euro sign
        {"\x85", "\xE2\x80\xA6"},  // ellipsis
        {"\x8A", "\xC5\xA0"},      // S caron
        {"\x92", "\xE2\x80\x99"},  // right single quotation mark
        {"\x96", "\xE2\x80\x93"},  // en dash
        {"\x99", "\xE2\x84\xA2"},  // trade mark sign
        {"\x9F", "\xC5\xB8"},      // Y diaeresis
        {"\xA0", "\xC2\xA0"},      // no-break space
        {"\xE0", "\xC3\xA0"},      // a grave
        {"\xDF", "\xC3\x9F"},      // sharp s
        {"\xFF", "\xC3\xBF"},      // y diaeresis
        {"\x81\x8D\x8F\x90\x9D",   // the five undefined bytes
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"Abc 123", "Abc 123"},
    };
    for (const Case& c : cases) EXPECT_EQ(Windows1252ToUtf8(c.bytes), c.utf8) << c.bytes;
}

TEST(TextEncodingTest, FileTextFollowsTheProgramsEncoding) {
    struct Case {
        std::string bytes;
        bool utf8Program;
        std::string text;
        const char* what;
    } cases[] = {
        {"Velocit\xC3\xA0", true, "Velocit\xC3\xA0", "UTF-8 file kept"},
        {"Velocit\xE0", true, "Velocit\xC3\xA0", "Windows-1252 file converted"},
        // One byte that is not UTF-8 makes the whole file Windows-1252.
        {"\xC3\xA0 \xE0", true, "\xC3\x83\xC2\xA0 \xC3\xA0", "mixed file read as 1252"},
        {"\xEF\xBB\xBF"
         "01 Ok",
         true, "01 Ok", "byte-order mark dropped"},
        {"\xEF\xBB\xBF"
         "01 \xE0",
         true, "01 \xC3\xA0", "mark dropped, rest is 1252"},
        {"Velocit\xE0", false, "Velocit\xE0", "ANSI program keeps bytes"},
        {"\xEF\xBB\xBF"
         "01 Ok",
         false, "01 Ok", "ANSI program drops the mark too"},
        {"", true, "", "empty file"},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeFileText(c.bytes, c.utf8Program), c.text) << c.what;
}

TEST(TextEncodingTest, FilesMarkedAsUnicodeReadForWhatTheySayAndOthersOnlyWithoutNul) {
    const std::string no = "(not text)";
    const struct {
        std::string bytes, utf8, ansi;  // the text on either kind of program
    } cases[] = {
        {testing::Utf16(u"\u00e7\u20ac", true), "\xC3\xA7\xE2\x82\xAC", "\xE7\x80"},
        {testing::Utf16(u"\U0001F600", false), "\xF0\x9F\x98\x80", no},
        {testing::Utf16(u"a\xD800", false), no, no},  // a lone surrogate
        {testing::Utf16(u"a", false) + "x", no, no},  // cut short
        {std::string("1\0\r\0", 4), no, no},          // UTF-16 without its mark
        {"\xEF\xBB\xBF\xE0", "\xE0", "\xE0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextOfMarkedFile(c.bytes, true).value_or(no), c.utf8) << c.bytes;
        EXPECT_EQ(TextOfMarkedFile(c.bytes, false).value_or(no), c.ansi) << c.bytes;
    }
}

TEST(TextEncodingTest, ReadsOneCodePointAtATime) {
    struct Case {
        std::string bytes;
        std::vector<char32_t> points;
        const char* what;
    } cases[] = {
        {"a", {U'a'}, "ASCII"},
        {"\xC3\xA0", {0xE0}, "two bytes"},
        {"\xE2\x80\xA6x", {0x2026, U'x'}, "three bytes, then ASCII"},
        {"\xF0\x9F\x98\x80", {0x1F600}, "four bytes"},
    };
    for (const Case& c : cases) {
        std::vector<char32_t> points;
        for (std::size_t i = 0; i < c.bytes.size();) points.push_back(NextCodePoint(c.bytes, i));
        EXPECT_EQ(points, c.points) << c.what;
    }
    // A sequence the text's end cuts short is read up to that end only.
    std::size_t i = 0;
    NextCodePoint(std::string_view("\xE2\x80", 2), i);
    EXPECT_EQ(i, 2u);
}

TEST(TextEncodingTest, CountsAndCutsCharactersNotBytes) {
    const std::string text =
        "\xC3\xA0\xE2\x80\xA6"
        "ab\xF0\x9F\x98\x80";  // a-grave, ellipsis, a, b, emoji
    EXPECT_EQ(CharacterCount(text, true), 5u);
    EXPECT_EQ(CharacterCount(text, false), text.size());
    EXPECT_EQ(CharactersFrom(text, 2, true), "ab\xF0\x9F\x98\x80");
    EXPECT_EQ(CharactersFrom(text, 5, true), "");
    EXPECT_EQ(CharactersFrom(text, 9, true), "");
    EXPECT_EQ(CharactersFrom(text, 2, false), text.substr(2));
    EXPECT_EQ(FirstCharacters(text, 2, true), "\xC3\xA0\xE2\x80\xA6");
    EXPECT_EQ(FirstCharacters(text, 9, true), text);
    EXPECT_EQ(WithoutLastCharacters("&Lingua\xE2\x80\xA6", 1, true), "&Lingua");
    EXPECT_EQ(WithoutLastCharacters("&Lingua...", 3, true), "&Lingua");
    EXPECT_EQ(WithoutLastCharacters("ab", 3, true), "");
}

TEST(TextEncoding, FirstCharactersNeverSplitsACharacter) {
    struct Case {
        std::string text;
        std::size_t limit;
        std::string expected;
    };
    const Case cases[] = {
        {"abc", 2, "ab"},
        {"abc", 3, "abc"},
        {"", 5, ""},
        {"\xC3\xA0\xC3\xA8x", 2, "\xC3\xA0\xC3\xA8"},  // àèx
        {"a\xE2\x80\xA6z", 2, "a\xE2\x80\xA6"},        // a…z: a three-byte point
        {"\xF0\x9F\x8E\xAE!", 1, "\xF0\x9F\x8E\xAE"},  // a four-byte point
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstCharacters(c.text, c.limit, true), c.expected) << c.text << " / " << c.limit;
}

}  // namespace
}  // namespace gimbalo
