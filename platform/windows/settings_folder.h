// Where the program keeps what it writes: beside the program, as a copy
// carried on a stick expects, or, for a program installed where its user
// cannot write (Program Files), in the user's roaming application data, so
// the settings are never silently lost. Chosen once.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace gimbalo {

class SettingsFolderChoice {
public:
    // The folder, chosen the first time from the program folder `programFolder` names.
    const std::string& Chosen(const std::function<std::string()>& programFolder);

private:
    std::optional<std::string> chosen_;
};

}  // namespace gimbalo
