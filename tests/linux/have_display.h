// Whether the tests have an X display to run on.
#pragma once

#include <cstdlib>

namespace gimbalo::testing {

inline bool HaveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && display[0] != '\0';
}

}  // namespace gimbalo::testing
