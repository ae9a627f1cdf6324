// The per-user autostart entry that starts the program when the user logs on.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace gimbalo {

// Name under which the entry is kept: the product name.
constexpr const char* kAutostartName = "Gimbalo";

// Writes the entry when `flag` is 1, deletes it for any other value.
// Failures change nothing and are not reported.
void SyncAutostart(Platform& platform, int16_t flag);

}  // namespace gimbalo
