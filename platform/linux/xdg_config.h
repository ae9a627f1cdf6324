// The user's home and configuration folders, as the XDG base directories
// name them: $XDG_CONFIG_HOME, default ~/.config.
#pragma once

#include <string>

namespace gimbalo {

// HOME when it names an existing folder by its full path, else the home the
// password database gives the user, on the same terms. Never the root
// folder, whose files every program would see, nor a path relative to the
// working folder. Empty when there is no such home.
std::string UserHome();

// XDG_CONFIG_HOME when it is a full path (a relative one is ignored), else
// UserHome()/.config; empty when there is neither.
std::string XdgConfigHome();

}  // namespace gimbalo
