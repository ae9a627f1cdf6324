// The numbered table of interface texts.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace gimbalo {

// Entries 0 to 100; entry n holds line n of the language file in use.
constexpr int kLangEntries = 101;

// The entries the program reads, by what they hold.
enum class TextId : std::size_t {
    OkButton = 1,
    CancelButton = 2,
    ApplyButton = 3,
    MessageTitle = 4,          // both start-up messages
    AlreadyRunningBefore = 5,  // before the executable's name
    AlreadyRunningAfter = 6,   // after it
    OptionsItem = 7,
    DonationItem = 8,
    UpdatesItem = 9,
    LicenceItem = 10,
    VersionHistoryItem = 11,
    AboutItem = 12,
    ExitItem = 13,
    Description = 14,   // the about box's
    LanguageLine = 15,  // "Language: English": credits and the language dialog's title
    ButtonWord = 16,    // before the number of each joystick button listed
    LeftButtonCaption = 17,
    RightButtonCaption = 18,
    MiddleButtonCaption = 19,
    SpeedCaption = 20,
    JoystickCaption = 21,
    AccelerationCaption = 22,
    StartAtLoginCaption = 23,
    NoJoystick = 24,
    NoJoystickAdvice = 25,
    LanguageItem = 26,  // also the language dialog's filter, less its last three characters
    AddLanguageItem = 27,
    AboutTitle = 28,
    OptionsTitle = 29,
    // Why the pointer cannot move on a desktop reached through /dev/uinput.
    PointerModuleMissing = 30,
    PointerAccessDenied = 31,
    PointerDeviceFailed = 32,
};

using LangEntries = std::array<std::string, kLangEntries>;

struct LangTable : LangEntries {
    using LangEntries::operator[];
    const std::string& operator[](TextId id) const {
        return LangEntries::operator[](static_cast<std::size_t>(id));
    }
};

}  // namespace gimbalo
