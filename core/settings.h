// The settings model and its file, Gimbalo.ini: eight positional lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gimbalo {

struct Settings {
    int16_t LeftButton = 0;
    int16_t RightButton = 0;
    int16_t MiddleButton = 0;
    std::string SpeedSetting;
    int16_t Acceleration = 0;
    int16_t StartWithWindows = 0;
    int16_t JoystickIndex = 0;
    std::string LangFileName;

    // The values a start without a settings file takes; the language stays.
    void SetDefaults();
};

constexpr const char* kSettingsFileName = "Gimbalo.ini";

// The speed as the file holds it: the number the text starts with, written
// back the short way ("1.50" and " 1.5 " give "1.5"); "2" when the text holds
// no finite number.
std::string SpeedForFile(const std::string& speedSetting);

// The whole file: eight lines, each ended by CR LF.
std::string SettingsFileText(const Settings& settings);

// Whether the eighth line can hold `name` so that it reads back the same: no
// line break or NUL in it, and quotes only where list input keeps them. A
// name that cannot be stored is refused where it would be set, and the old
// one kept.
bool CanStoreLanguageName(const std::string& name);

enum class SettingsFileState {
    Read,        // the fields that could be read are in the model
    Missing,     // there is no settings file
    Unreadable,  // something is there that cannot be read: kept as it is
};

// Reads the file at `path` into `settings` with list-input rules. A field that
// cannot be read keeps its variable's value. The eighth field goes to
// `languageField` (empty when missing). Only a regular file of at most
// kMaxFileBytes is read; when it is not read, `settings` is unchanged. A file
// saved as UTF-16 or UTF-8 with a byte-order mark is read for what it says
// (TextOfMarkedFile); one that is not text at all (a NUL byte, UTF-16 without
// its mark) is Unreadable.
SettingsFileState ReadSettingsFile(const std::string& path, Settings& settings,
                                   std::string& languageField, bool textIsUtf8 = true);

// The fields of a settings file's bytes, read as ReadSettingsFile does. On a
// UTF-8 program a language name that is not UTF-8 is read as Windows-1252,
// as language files are.
void ReadSettingsText(std::string_view bytes, Settings& settings, std::string& languageField,
                      bool textIsUtf8 = true);

// Writes the file at `path`, always eight lines (a language name that cannot
// be stored gives an empty eighth line), in the program's own 8-bit text
// whatever form the file was read in. The text goes to a temporary file in
// the same folder that then replaces the old one, keeping its mode and owner,
// so a failure part-way leaves the old file whole; a read-only file is left
// alone. False when the file could not be written.
bool WriteSettingsFile(const std::string& path, const Settings& settings, bool textIsUtf8 = true);

}  // namespace gimbalo
