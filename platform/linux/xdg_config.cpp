#include "platform/linux/xdg_config.h"

#include <cstdlib>

namespace gimbalo {

std::string XdgConfigHome() {
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured != nullptr && configured[0] == '/') return configured;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
    return {};
}

}  // namespace gimbalo
