// The per-user autostart entry that starts the program when the user logs on.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace gimbalo {

// Writes the entry, kept under the product name, when `flag` is 1; deletes it
// for any other value.
// Failures change nothing and are not reported.
void SyncAutostart(Platform& platform, int16_t flag);

}  // namespace gimbalo
