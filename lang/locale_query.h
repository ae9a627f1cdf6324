// The user's locale information, as the language choice asks for it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace gimbalo {

// The platform's answer for the user's default locale and the information
// type `type` (LOCALE_SENGCOUNTRY: the English name of the user's country),
// or the empty string when it has none.
std::string QueryLocaleInfo(Platform& platform, uint32_t type);

}  // namespace gimbalo
