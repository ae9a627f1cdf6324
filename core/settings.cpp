#include "core/settings.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <system_error>

#include "core/list_input.h"
#include "core/numbers.h"

namespace gimbalo {

void Settings::SetDefaults() {
    LeftButton = 1;
    RightButton = 2;
    MiddleButton = 3;
    SpeedSetting = "2";
    Acceleration = 1;
    StartWithWindows = 1;
    JoystickIndex = 0;
}

std::string SpeedForFile(const std::string& speedSetting) {
    std::optional<double> value = LeadingNumber(speedSetting);
    if (!value || !std::isfinite(*value)) return "2";
    return FormatNumber(*value);
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
    line(s.LangFileName);
    return text;
}

bool ReadSettingsFile(const std::string& path, Settings& settings, std::string& languageField) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    if (!in) return false;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    ListInputReader reader(content);
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
    return true;
}

bool WriteSettingsFile(const std::string& path, const Settings& settings) {
    namespace fs = std::filesystem;
    const fs::path target = fs::u8path(path);
    std::random_device random;
    fs::path temporary = target;
    temporary += ".tmp" + std::to_string(random() % 1000000);

    const std::string text = SettingsFileText(settings);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace gimbalo
