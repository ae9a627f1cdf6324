// The visual-styles manifest beside the executable, and the common controls.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace gimbalo {

constexpr const char* kManifestSuffix = ".exe.manifest";

// The manifest as written: its lines, each ended by CR LF, ASCII only.
std::string ManifestText();

// `folder` + one separator + `executableName` + ".exe.manifest"; no second
// separator when the folder already ends in one (a drive root such as "C:\").
std::string ManifestPath(const std::string& folder, const std::string& executableName,
                         char separator);

// Where the platform's executable wants its manifest; nothing when the
// executable's path names no folder.
std::optional<std::string> ManifestPath(Platform& platform);

// Writes the manifest when none is there yet, marks it read-only, hidden and
// system, and initialises the common controls. An existing manifest is never
// read or replaced. Failures are silent: the controls are initialised in every
// case, and a manifest that could not be written whole is not left behind.
// Does nothing but initialise the controls where the desktop reads no manifest.
void InitVisualStyles(Platform& platform);

}  // namespace gimbalo
