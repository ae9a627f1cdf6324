#include "core/settings.h"

#include <cmath>
#include <optional>

#include "core/file_io.h"
#include "core/list_input.h"
#include "core/numbers.h"
#include "platform/common/text_encoding.h"

namespace gimbalo {

void Settings::SetDefaults() {
    LeftButton = 1;
    RightButton = 2;
    MiddleButton = 3;
    // Assigned by moving a new string in: GCC 12 at -O2 warns falsely
    // (-Wrestrict) about assigning a literal here.
    SpeedSetting = std::string(1, '2');
    Acceleration = 1;
    StartWithWindows = 1;
    JoystickIndex = 0;
}

std::string SpeedForFile(const std::string& speedSetting) {
    std::optional<double> value = LeadingNumber(speedSetting);
    if (!value || !std::isfinite(*value)) return "2";
    return FormatNumber(*value);
}

namespace {
// The language name as list input reads it back whole: in quotes when a
// comma or blanks at either end would otherwise cut it. A name holding a
// quotation mark cannot be quoted and is written as it is.
std::string QuotedWhereNeeded(const std::string& name) {
    if (name.empty() || name.find('"') != std::string::npos) return name;
    const bool blankAtEnd =
        name.front() == ' ' || name.front() == '\t' || name.back() == ' ' || name.back() == '\t';
    if (name.find(',') == std::string::npos && !blankAtEnd) return name;
    return '"' + name + '"';
}

// The eighth line: empty for a name that would not read back the same, so
// the file keeps its eight lines whatever the model holds.
std::string LanguageLine(const std::string& name) {
    return CanStoreLanguageName(name) ? QuotedWhereNeeded(name) : std::string();
}
}  // namespace

bool CanStoreLanguageName(const std::string& name) {
    // A NUL would make the file one the program no longer reads as text.
    if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return false;
    const std::string line = QuotedWhereNeeded(name);
    ListInputReader reader(line);
    return reader.NextField().value_or(std::string()) == name;
}

std::string SettingsFileText(const Settings& s) {
    std::string text;
    auto line = [&text](const std::string& value) {
        text += value;
        text += "\r\n";
    };
    line(std::to_string(s.LeftButton));
    line(std::to_string(s.RightButton));
    line(std::to_string(s.MiddleButton));
    line(SpeedForFile(s.SpeedSetting));
    line(std::to_string(s.Acceleration));
    line(std::to_string(s.StartWithWindows));
    line(std::to_string(s.JoystickIndex));
    line(LanguageLine(s.LangFileName));
    return text;
}

SettingsFileState ReadSettingsFile(const std::string& path, Settings& settings,
                                   std::string& languageField, bool textIsUtf8) {
    const ReadResult file = ReadSmallFile(path, textIsUtf8);
    if (file.status == ReadStatus::Missing) return SettingsFileState::Missing;
    if (file.status != ReadStatus::Read) return SettingsFileState::Unreadable;
    const std::optional<std::string> text = TextOfMarkedFile(file.bytes, textIsUtf8);
    if (!text) return SettingsFileState::Unreadable;
    ReadSettingsText(*text, settings, languageField, textIsUtf8);
    return SettingsFileState::Read;
}

void ReadSettingsText(std::string_view bytes, Settings& settings, std::string& languageField,
                      bool textIsUtf8) {
    // A byte-order mark that an editor put in front of the first line.
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    ListInputReader reader(bytes);
    auto number = [&reader](int16_t& target) {
        if (std::optional<std::string> field = reader.NextField())
            if (std::optional<int16_t> value = ParseInteger16(*field)) target = *value;
    };
    auto text = [&reader](std::string& target) {
        if (std::optional<std::string> field = reader.NextField()) target = *field;
    };
    number(settings.LeftButton);
    number(settings.RightButton);
    number(settings.MiddleButton);
    text(settings.SpeedSetting);
    number(settings.Acceleration);
    number(settings.StartWithWindows);
    number(settings.JoystickIndex);
    languageField.clear();
    text(languageField);
    // An older copy wrote the name in the ANSI code page ("Fran\xE7ais.lng"):
    // read as the language files are, so it still names its file.
    if (textIsUtf8 && !IsValidUtf8(languageField)) languageField = Windows1252ToUtf8(languageField);
}

bool WriteSettingsFile(const std::string& path, const Settings& settings, bool textIsUtf8) {
    // A settings file linked into place from elsewhere keeps the link.
    return ReplaceFile(path, SettingsFileText(settings), textIsUtf8, LinkAtPath::Followed);
}

}  // namespace gimbalo
