// The per-user autostart command as an XDG autostart entry:
// $XDG_CONFIG_HOME/autostart/<name>.desktop (default ~/.config/autostart).
#pragma once

#include <string>

namespace gimbalo {

// The folder of the user's autostart entries.
std::string XdgAutostartFolder();

// The Exec value that runs `path` with no arguments, quoted and escaped as
// desktop entries require.
std::string DesktopExecValue(const std::string& path);

// The entry that starts `executablePath` at log-on: the fields of the
// installed desktop entry (name, comment, icon, categories, translations),
// with Exec naming the executable in full.
std::string AutostartEntry(const std::string& executablePath);

// Creates or replaces the entry <name>.desktop at once (a temporary file
// renamed over it).
bool WriteXdgAutostart(const std::string& name, const std::string& executablePath);
// Removes the entry; false when there was none or it could not be removed.
bool DeleteXdgAutostart(const std::string& name);

}  // namespace gimbalo
