#include "shell/visual_styles.h"

#include <array>

#include "core/file_io.h"

namespace gimbalo {

namespace {

// The uneven indents are part of the file: it is written exactly like this.
constexpr std::array<const char*, 17> kManifestLines = {
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)",
    R"(<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">)",
    R"(    <assemblyIdentity version="1.0.0.0" processorArchitecture="X86" name="app" type="win32" />)",
    R"(    <description>Gimbalo Free</description>)",
    R"(<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">)",
    R"(<security>)",
    R"(<requestedPrivileges>)",
    R"(        <requestedExecutionLevel level="requireAdministrator" />)",
    R"(    </requestedPrivileges>)",
    R"(</security>)",
    R"(</trustInfo>)",
    R"(    <dependency>)",
    R"(        <dependentAssembly>)",
    R"(            <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0" processorArchitecture="X86" publicKeyToken="6595b64144ccf1df" language="*" />)",
    R"(        </dependentAssembly>)",
    R"(    </dependency>)",
    R"(</assembly>)",
};

}  // namespace

std::string ManifestText() {
    std::string text;
    for (const char* line : kManifestLines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string ManifestPath(const std::string& folder, const std::string& executableName,
                         char separator) {
    return AddSeparator(folder, separator) + executableName + kManifestSuffix;
}

std::optional<std::string> ManifestPath(Platform& platform) {
    const char separator = platform.PathSeparator();
    const std::string executable = platform.ExecutablePath();
    const std::size_t last = executable.rfind(separator);
    if (last == std::string::npos) return std::nullopt;
    return ManifestPath(executable.substr(0, last), platform.ExecutableName(), separator);
}

void InitVisualStyles(Platform& platform) {
    if (platform.UsesVisualStylesManifest()) {
        if (std::optional<std::string> path = ManifestPath(platform);
            path && !platform.FileExists(*path)) {
            // Written whole or not at all: a broken manifest would stop the
            // program from starting, and a missing one is written next time.
            if (ReplaceFile(*path, ManifestText(), platform.TextIsUtf8(), LinkAtPath::Replaced))
                platform.SetFileAttributesA(
                    *path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        }
    }
    platform.InitCommonControls();
}

}  // namespace gimbalo
