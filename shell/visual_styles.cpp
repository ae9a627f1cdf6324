#include "shell/visual_styles.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

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

std::filesystem::path FilePath(const Platform& platform, const std::string& path) {
    if (platform.TextIsUtf8()) return std::filesystem::u8path(path);
    return std::filesystem::path(path);
}

// Creates the file with `text`. A file that could not be written whole is
// removed again: a broken manifest would stop the program from starting, and
// one that is missing is simply written at the next start.
bool WriteNewFile(const std::filesystem::path& path, const std::string& text) {
    bool written = false;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        written = !out.fail();
    }
    if (!written) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    return written;
}

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
    std::string path = folder;
    if (path.empty() || path.back() != separator) path += separator;
    return path + executableName + kManifestSuffix;
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
            if (WriteNewFile(FilePath(platform, *path), ManifestText()))
                platform.SetFileAttributesA(
                    *path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        }
    }
    platform.InitCommonControls();
}

}  // namespace gimbalo
