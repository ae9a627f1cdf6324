// What every settings file the program writes must be.
#pragma once

#include <string>

#include "core/settings.h"
#include "fuzz/fuzz_support.h"
#include "platform/common/text_encoding.h"

namespace gimbalo::fuzz {

// `text`, written from `settings`, has eight lines each ended by CR LF with
// no other line break, and reads back as `settings`: the numbers as they
// are, the speed as the number written, the language name whole. Writing
// what was read back gives the same text.
inline void RequireReadsBack(const Settings& settings, const std::string& text) {
    std::size_t lines = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n') FUZZ_REQUIRE(at > 0 && text[at - 1] == '\r', "LF only after CR");
        if (text[at] == '\r') {
            FUZZ_REQUIRE(at + 1 < text.size() && text[at + 1] == '\n', "CR only before LF");
            ++lines;
        }
    }
    FUZZ_REQUIRE(lines == 8 && text.ends_with("\r\n"), "eight lines: " + text);
    FUZZ_REQUIRE(TextOfMarkedFile(text, true) == text, "the file reads as text");

    Settings back;
    std::string language;
    ReadSettingsText(text, back, language);
    FUZZ_REQUIRE(back.LeftButton == settings.LeftButton, "left button");
    FUZZ_REQUIRE(back.RightButton == settings.RightButton, "right button");
    FUZZ_REQUIRE(back.MiddleButton == settings.MiddleButton, "middle button");
    FUZZ_REQUIRE(back.Acceleration == settings.Acceleration, "acceleration");
    FUZZ_REQUIRE(back.StartWithWindows == settings.StartWithWindows, "autostart");
    FUZZ_REQUIRE(back.JoystickIndex == settings.JoystickIndex, "joystick");
    FUZZ_REQUIRE(back.SpeedSetting == SpeedForFile(settings.SpeedSetting),
                 "speed \"" + settings.SpeedSetting + "\" written as \"" +
                     SpeedForFile(settings.SpeedSetting) + "\" read back as \"" +
                     back.SpeedSetting + "\"");
    FUZZ_REQUIRE(language == settings.LangFileName, "language \"" + settings.LangFileName + "\"");
    back.LangFileName = language;
    FUZZ_REQUIRE(SettingsFileText(back) == text, "a second save writes the same file");
}

}  // namespace gimbalo::fuzz
