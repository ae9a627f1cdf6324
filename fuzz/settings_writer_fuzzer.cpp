// Any settings model, whatever its fields hold (a speed typed by the user, a
// language name from a file dialog): the file has eight lines and reads back
// as the same settings, the speed as the number written.
#include <string>

#include "core/settings.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/settings_checks.h"
#include "platform/common/text_encoding.h"

using namespace gimbalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    Settings settings;
    settings.LeftButton = static_cast<int16_t>(in.Word());
    settings.RightButton = static_cast<int16_t>(in.Word());
    settings.MiddleButton = static_cast<int16_t>(in.Word());
    settings.Acceleration = static_cast<int16_t>(in.Word());
    settings.StartWithWindows = static_cast<int16_t>(in.Word());
    settings.JoystickIndex = static_cast<int16_t>(in.Word());
    settings.SpeedSetting = in.Text(64);
    // The model holds the program's text, UTF-8: every name that reaches it
    // (a dialog's answer, the settings file's line) has been decoded.
    settings.LangFileName = in.Rest();
    if (!IsValidUtf8(settings.LangFileName))
        settings.LangFileName = Windows1252ToUtf8(settings.LangFileName);

    const std::string text = SettingsFileText(settings);
    if (!CanStoreLanguageName(settings.LangFileName)) {
        FUZZ_REQUIRE(text.ends_with("\r\n\r\n"),
                     "a name that cannot be stored leaves the line empty");
        settings.LangFileName.clear();
    }
    fuzz::RequireReadsBack(settings, text);
    return 0;
}
