// The language files shipped in data/Lang: what a user sees when choosing
// each of them.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "lang/language_file.h"
#include "platform/common/text_encoding.h"
#include "platform/sim/sim_platform.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

// The three leading characters of line `n`: its number's last two digits
// and a blank.
std::string Lead(int n) {
    return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10), ' '};
}

const char* const kShippedFiles[] = {"English.lng", "Italiano.lng", "Deutsch.lng", "Francais.lng",
                                     "Espanol.lng"};
constexpr int kEntriesRead = 32;
// Entries that caption menu items and buttons: each marks one access key.
const std::set<int> kButtonEntries = {1, 2, 3};
const std::set<int> kMenuEntries = {7, 8, 9, 10, 11, 12, 13, 26, 27};

std::string DataFile(const std::string& name) {
    return std::string(GIMBALO_DATA_DIR) + "/Lang/" + name;
}

// The letter after the one ampersand of `caption`, lower-cased; empty when
// the caption has no ampersand or more than one.
std::string AccessKey(const std::string& caption) {
    const std::size_t mark = caption.find('&');
    if (mark == std::string::npos || caption.find('&', mark + 1) != std::string::npos) return "";
    const std::string key = FirstCharacters(caption.substr(mark + 1), 1, true);
    if (key.size() == 1) {
        if (!std::isalnum(static_cast<unsigned char>(key[0]))) return "";
        return std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(key[0]))));
    }
    return key;
}

class ShippedLanguageTest : public ::testing::TestWithParam<const char*> {
protected:
    ShippedLanguageTest() : sim(GIMBALO_DATA_DIR) { LoadLanguageFile(sim, GetParam(), table); }
    SimPlatform sim;
    LangTable table;
};

TEST_P(ShippedLanguageTest, IsUtf8TextWithNumberedLines) {
    const std::string bytes = testing::ReadFile(DataFile(GetParam()));
    ASSERT_FALSE(bytes.empty());
    int lines = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "line " << lines + 1 << " lacks CR LF";
        const std::string line = bytes.substr(start, end - start);
        ++lines;
        EXPECT_EQ(line.substr(0, 3), Lead(lines));
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "line " << lines;
        start = end + 2;
    }
    EXPECT_EQ(lines, kEntriesRead);
    // UTF-8, which reads the same whatever code page the system uses.
    EXPECT_TRUE(IsValidUtf8(bytes));
}

TEST_P(ShippedLanguageTest, FillsEveryEntryTheProgramReads) {
    for (int n = 1; n <= kEntriesRead; ++n) {
        EXPECT_FALSE(table[static_cast<std::size_t>(n)].empty()) << "entry " << n;
        EXPECT_NE(table[static_cast<std::size_t>(n)].front(), ' ') << "entry " << n;
        EXPECT_NE(table[static_cast<std::size_t>(n)].back(), ' ') << "entry " << n;
    }
}

TEST_P(ShippedLanguageTest, CaptionsMarkOneDistinctAccessKey) {
    std::set<std::string> buttonKeys, menuKeys;
    for (int n = 1; n <= kEntriesRead; ++n) {
        const std::string& text = table[static_cast<std::size_t>(n)];
        const bool caption = kButtonEntries.count(n) || kMenuEntries.count(n);
        if (!caption) {
            EXPECT_EQ(text.find('&'), std::string::npos) << "entry " << n << ": " << text;
            continue;
        }
        const std::string key = AccessKey(text);
        EXPECT_FALSE(key.empty()) << "entry " << n << ": " << text;
        auto& keys = kButtonEntries.count(n) ? buttonKeys : menuKeys;
        EXPECT_TRUE(keys.insert(key).second) << "entry " << n << " repeats the key " << key;
    }
}

TEST_P(ShippedLanguageTest, TextsReadWellWhereTheyAreJoined) {
    // The language dialog's filter is entry 26 less its last three characters.
    const std::string& language = table[26];
    ASSERT_GT(CharacterCount(language, true), 3u);
    EXPECT_EQ(language.substr(language.size() - 3), "...");
    EXPECT_NE(WithoutLastCharacters(language, 3, true).back(), ' ');
    // "<5> Gimbalo <6>" is one sentence.
    const std::string running = table[5] + " Gimbalo " + table[6];
    EXPECT_EQ(running.back(), '.') << running;
    EXPECT_EQ(running.find("  "), std::string::npos) << running;
    // The no-joystick message: two whole sentences.
    EXPECT_EQ(table[24].back(), '.');
    EXPECT_EQ(table[25].back(), '.');
    // "Button 3": one word before the number.
    EXPECT_EQ(table[16].find(' '), std::string::npos) << table[16];
    // Entry 15 follows " - ", stands on its own line and titles a dialog.
    EXPECT_NE(table[15].front(), '-');
    EXPECT_NE(table[15].back(), '.');
}

INSTANTIATE_TEST_SUITE_P(Lang, ShippedLanguageTest, ::testing::ValuesIn(kShippedFiles),
                         [](const ::testing::TestParamInfo<const char*>& file) {
                             std::string name = file.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
}  // namespace gimbalo
