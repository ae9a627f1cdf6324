// The user's configuration folder: $XDG_CONFIG_HOME, default ~/.config.
#pragma once

#include <string>

namespace gimbalo {

// Empty when neither XDG_CONFIG_HOME (absolute) nor HOME is set.
std::string XdgConfigHome();

}  // namespace gimbalo
