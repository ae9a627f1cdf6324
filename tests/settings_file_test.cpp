// Gimbalo.ini as a user's file: what a start reads from it and what a save
// leaves in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <filesystem>

#include "core/list_input.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

struct ReadCase {
    const char* what;
    std::string file;
    int16_t left, right, middle;
    const char* speed;
    int16_t acceleration, startWithWindows, joystick;
    const char* language;
};

constexpr const char16_t* kUnicodeFile =
    u"4\r\n5\r\n6\r\n1.5\r\n0\r\n1\r\n0\r\nFran\u00e7ais.lng\r\n";

// Fields that cannot be read keep the value they had: 0 or empty at start-up.
const ReadCase kReadCases[] = {
    {"defaults with Italian", "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nItaliano.lng\r\n", 1, 2, 3, "2",
     1, 1, 0, "Italiano.lng"},
    {"seven lines, no language", "4\r\n5\r\n6\r\n1.5\r\n0\r\n0\r\n2\r\n", 4, 5, 6, "1.5", 0, 0, 2,
     ""},
    {"comma shifts the later fields", "1\r\n2\r\n3\r\n1,5\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n", 1, 2,
     3, "1", 5, 1, 1, "0"},
    {"leading blanks skipped, trailing dropped",
     "  7  \r\n 8\r\n9 \r\n  1.5  \r\n1\r\n1\r\n0\r\n"
     "  English.lng  \r\n",
     7, 8, 9, "1.5", 1, 1, 0, "English.lng"},
    {"quoted text keeps its comma and blanks",
     "1\r\n2\r\n3\r\n\"1,5 \"\r\n1\r\n1\r\n0\r\n"
     "\" my lang.lng\"\r\n",
     1, 2, 3, "1,5 ", 1, 1, 0, " my lang.lng"},
    {"not a number keeps 0", "x\r\n2\r\n3\r\n2\r\nyes\r\n1\r\n0\r\nEnglish.lng\r\n", 0, 2, 3, "2",
     0, 1, 0, "English.lng"},
    {"out of 16 bits keeps 0", "40000\r\n-32768\r\n32767\r\n2\r\n-40000\r\n1\r\n0\r\nE.lng\r\n", 0,
     -32768, 32767, "2", 0, 1, 0, "E.lng"},
    {"fractions round half to even", "1.5\r\n2.5\r\n-0.4\r\n2\r\n1\r\n1\r\n0\r\nE.lng\r\n", 2, 2, 0,
     "2", 1, 1, 0, "E.lng"},
    {"lone LF and lone CR end lines too", "1\n2\r3\n0.5\r1\n0\r0\nDeutsch.lng", 1, 2, 3, "0.5", 1,
     0, 0, "Deutsch.lng"},
    {"short file", "3\r\n", 3, 0, 0, "", 0, 0, 0, ""},
    {"empty file", "", 0, 0, 0, "", 0, 0, 0, ""},
    {"lines past the eighth are ignored", "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nA.lng\r\nB\r\n", 1, 2,
     3, "2", 1, 1, 0, "A.lng"},
    // Saved by an editor as "Unicode" (a UTF-8 mark: see below).
    {"UTF-16 LE", testing::Utf16(kUnicodeFile, false), 4, 5, 6, "1.5", 0, 1, 0,
     "Fran\xC3\xA7"
     "ais.lng"},
    {"UTF-16 BE", testing::Utf16(kUnicodeFile, true), 4, 5, 6, "1.5", 0, 1, 0,
     "Fran\xC3\xA7"
     "ais.lng"},
};

TEST(SettingsFile, ReadsFieldsWithListInputRules) {
    TempFolder folder;
    for (const ReadCase& c : kReadCases) {
        const std::string path = folder.File("Gimbalo.ini");
        WriteFile(path, c.file);
        Settings s;
        std::string language = "unchanged";
        ASSERT_EQ(ReadSettingsFile(path, s, language), SettingsFileState::Read) << c.what;
        EXPECT_EQ(s.LeftButton, c.left) << c.what;
        EXPECT_EQ(s.RightButton, c.right) << c.what;
        EXPECT_EQ(s.MiddleButton, c.middle) << c.what;
        EXPECT_EQ(s.SpeedSetting, c.speed) << c.what;
        EXPECT_EQ(s.Acceleration, c.acceleration) << c.what;
        EXPECT_EQ(s.StartWithWindows, c.startWithWindows) << c.what;
        EXPECT_EQ(s.JoystickIndex, c.joystick) << c.what;
        EXPECT_EQ(language, c.language) << c.what;
        EXPECT_EQ(s.LangFileName, "") << "the language field is handed on, not stored: " << c.what;
    }
}

TEST(SettingsFile, MissingFileChangesNothing) {
    TempFolder folder;
    Settings s;
    s.SetDefaults();
    std::string language;
    EXPECT_EQ(ReadSettingsFile(folder.File("Gimbalo.ini"), s, language),
              SettingsFileState::Missing);
    EXPECT_EQ(s.LeftButton, 1);
    EXPECT_EQ(s.SpeedSetting, "2");
}

TEST(SettingsFile, WritesEightLinesWithTheSpeedAsANumber) {
    struct Case {
        const char* speed;
        const char* written;
    } cases[] = {{"2", "2"},     {" 1.5 ", "1.5"}, {"1.50", "1.5"}, {"0.5", "0.5"},
                 {".5", "0.5"},  {"1.7", "1.7"},   {"3abc", "3"},   {"abc", "2"},
                 {"", "2"},      {"-1", "-1"},     {"0", "0"},      {"1E+20", "1E+20"},
                 {"1e999", "2"}, {"007", "7"},     {"2.25", "2.25"}};
    TempFolder folder;
    for (const Case& c : cases) {
        Settings s;
        s.SetDefaults();
        s.SpeedSetting = c.speed;
        s.LangFileName = "English.lng";
        const std::string path = folder.File("Gimbalo.ini");
        ASSERT_TRUE(WriteSettingsFile(path, s)) << c.speed;
        EXPECT_EQ(ReadFile(path),
                  std::string("1\r\n2\r\n3\r\n") + c.written + "\r\n1\r\n1\r\n0\r\nEnglish.lng\r\n")
            << "speed \"" << c.speed << "\"";
        // The lines after the speed read back in place.
        Settings back;
        std::string language;
        ASSERT_EQ(ReadSettingsFile(path, back, language), SettingsFileState::Read);
        EXPECT_EQ(back.Acceleration, 1);
        EXPECT_EQ(back.JoystickIndex, 0);
        EXPECT_EQ(language, "English.lng");
    }
}

TEST(SettingsFile, DefaultsWithAnEmptyLanguageWriteAnEmptyEighthLine) {
    TempFolder folder;
    Settings s;
    s.SetDefaults();
    const std::string path = folder.File("Gimbalo.ini");
    ASSERT_TRUE(WriteSettingsFile(path, s));
    EXPECT_EQ(ReadFile(path), "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\n\r\n");
}

TEST(SettingsFile, NegativeValuesAndLanguageAreWrittenUnchanged) {
    TempFolder folder;
    Settings s;
    s.LeftButton = 0;
    s.RightButton = -5;
    s.MiddleButton = 32767;
    s.SpeedSetting = "1";
    s.Acceleration = 2;
    s.StartWithWindows = 0;
    s.JoystickIndex = -1;
    s.LangFileName = "extra/Deutsch.lng";
    const std::string path = folder.File("Gimbalo.ini");
    ASSERT_TRUE(WriteSettingsFile(path, s));
    EXPECT_EQ(ReadFile(path), "0\r\n-5\r\n32767\r\n1\r\n2\r\n0\r\n-1\r\nextra/Deutsch.lng\r\n");
}

TEST(SettingsFile, AFileInTheWayOfTheSettingsIsNotReplacedByHalfAWrite) {
    TempFolder folder;
    // The settings path is a folder: the write fails and reports it.
    const std::string path = folder.File("Gimbalo.ini");
    std::filesystem::create_directories(std::filesystem::path(path) / "inner");
    Settings s;
    s.SetDefaults();
    EXPECT_FALSE(WriteSettingsFile(path, s));
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

// Qt sets the C library's locale from the environment; an Italian desktop
// writes decimals with a comma. The settings file keeps its point.
TEST(SettingsFile, DecimalsKeepTheirPointUnderACommaLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    // The Italian locale under its POSIX name, then under Windows' names.
    bool italian = false;
    for (const char* name : {"it_IT.UTF-8", "Italian_Italy.1252", "it-IT"})
        if (!italian && std::setlocale(LC_ALL, name) != nullptr) italian = true;
    if (!italian) GTEST_SKIP() << "no Italian locale here";
    EXPECT_EQ(SpeedValue("1.5"), 1.5);
    EXPECT_EQ(SpeedValue("0.5"), 0.5);
    EXPECT_EQ(SpeedForFile("1.5"), "1.5");
    EXPECT_EQ(FormatNumber(0.5), "0.5");
    EXPECT_EQ(ParseInteger16("1.5"), int16_t{2});
    std::setlocale(LC_ALL, before.c_str());
}

TEST(SettingsFile, ByteOrderMarkBeforeTheFirstLineIsSkipped) {
    testing::TempFolder folder;
    const std::string path = folder.File("Gimbalo.ini");
    testing::WriteFile(path,
                       "\xEF\xBB\xBF"
                       "4\r\n5\r\n6\r\n1\r\n0\r\n0\r\n0\r\nEnglish.lng\r\n");
    Settings s;
    std::string language;
    ASSERT_EQ(ReadSettingsFile(path, s, language), SettingsFileState::Read);
    EXPECT_EQ(s.LeftButton, 4);
    EXPECT_EQ(language, "English.lng");
}

TEST(SettingsFile, LanguageNamesThatListInputWouldCutAreQuoted) {
    struct Case {
        const char* name;
        const char* line;
    } cases[] = {{"English.lng", "English.lng"},
                 {"Deutsch, neu.lng", "\"Deutsch, neu.lng\""},
                 {" spaced.lng ", "\" spaced.lng \""},
                 {"", ""}};
    testing::TempFolder folder;
    for (const Case& c : cases) {
        Settings s;
        s.SetDefaults();
        s.LangFileName = c.name;
        const std::string path = folder.File("Gimbalo.ini");
        ASSERT_TRUE(WriteSettingsFile(path, s));
        EXPECT_EQ(testing::ReadFile(path),
                  std::string("1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\n") + c.line + "\r\n");
        Settings back;
        std::string language;
        ASSERT_EQ(ReadSettingsFile(path, back, language), SettingsFileState::Read);
        EXPECT_EQ(language, c.name);
    }
}

// The eighth line holds a name only when it reads back the same; any other
// name leaves it empty, so the file keeps its eight lines.
TEST(SettingsFile, ALanguageNameIsStoredOnlyWhenItReadsBackTheSame) {
    struct Case {
        std::string name;
        bool storable;
    } cases[] = {
        {"English.lng", true},      {"", true},
        {"Deutsch, neu.lng", true}, {"  ", true},
        {"a\"b.lng", true},         {std::string("x\0y.lng", 7), false},
        {"Eng\r\nlish.lng", false}, {"Eng\nlish.lng", false},
        {"Eng\rlish.lng", false},   {"\"quoted\"", false},
        {"\"open.lng", false},      {"a\"b, c.lng", false},
        {" a\"b.lng", false},
    };
    testing::TempFolder folder;
    const std::string path = folder.File("Gimbalo.ini");
    for (const Case& c : cases) {
        EXPECT_EQ(CanStoreLanguageName(c.name), c.storable) << c.name;
        Settings s;
        s.SetDefaults();
        s.LangFileName = c.name;
        ASSERT_TRUE(WriteSettingsFile(path, s)) << c.name;
        const std::string text = testing::ReadFile(path);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8) << c.name;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 8) << c.name;
        Settings back;
        std::string language;
        ASSERT_EQ(ReadSettingsFile(path, back, language), SettingsFileState::Read);
        EXPECT_EQ(language, c.storable ? c.name : "") << c.name;
    }
}

// An older copy wrote the language name in the ANSI code page; a UTF-8
// program reads that line as it reads language files, so the file still
// names its language. An 8-bit program takes the bytes as they are.
TEST(SettingsFile, ALanguageLineInWindows1252IsReadAsLanguageFilesAre) {
    struct Case {
        std::string line;
        bool utf8Program;
        std::string name;
    } cases[] = {
        {"Espa\xF1ol.lng", true, "Espa\xC3\xB1ol.lng"},
        {"\x80uro \x9C.lng", true, "\xE2\x82\xACuro \xC5\x93.lng"},
        {"Espa\xC3\xB1ol.lng", true, "Espa\xC3\xB1ol.lng"},
        {"English.lng", true, "English.lng"},
        {"Espa\xF1ol.lng", false, "Espa\xF1ol.lng"},
    };
    testing::TempFolder folder;
    const std::string path = folder.File("Gimbalo.ini");
    for (const Case& c : cases) {
        testing::WriteFile(path, "1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\n" + c.line + "\r\n");
        Settings s;
        std::string language;
        ASSERT_EQ(ReadSettingsFile(path, s, language, c.utf8Program), SettingsFileState::Read);
        EXPECT_EQ(language, c.name) << c.line << (c.utf8Program ? " (UTF-8)" : " (8-bit)");
    }
}

}  // namespace
}  // namespace gimbalo
