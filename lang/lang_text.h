// The numbered table of interface texts.
#pragma once

#include <array>
#include <string>

namespace gimbalo {

// Entries 0 to 100; entry n holds line n of the language file in use.
constexpr int kLangEntries = 101;
using LangTable = std::array<std::string, kLangEntries>;

}  // namespace gimbalo
