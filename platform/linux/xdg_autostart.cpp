#include "platform/linux/xdg_autostart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "platform/linux/desktop_entry_template.h"
#include "platform/linux/xdg_config.h"

namespace gimbalo {

namespace {
// Characters that make an Exec argument need quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
// Characters escaped with a backslash inside quotes.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

// The escapes of every string value in a desktop entry, applied on top of
// the Exec quoting: a backslash doubles, control characters get names.
std::string EscapeStringValue(const std::string& value) {
    std::string out;
    for (char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string EntryPath(const std::string& name) {
    return XdgAutostartFolder() + "/" + name + ".desktop";
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}
}  // namespace

std::string XdgAutostartFolder() {
    const std::string config = XdgConfigHome();
    return config.empty() ? std::string() : config + "/autostart";
}

std::string DesktopExecValue(const std::string& path) {
    std::string argument;
    const bool quoted = path.find_first_of(kReserved) != std::string::npos;
    if (quoted) argument += '"';
    for (char c : path) {
        if (c == '%') {
            argument += "%%";  // a single % starts a field code
            continue;
        }
        if (quoted && kEscapedInQuotes.find(c) != std::string_view::npos) argument += '\\';
        argument += c;
    }
    if (quoted) argument += '"';
    return EscapeStringValue(argument);
}

std::string AutostartEntry(const std::string& executablePath) {
    std::string entry(kDesktopEntryTemplate);
    const std::size_t at = entry.find(kDesktopEntryExecPlaceholder);
    if (at != std::string::npos)
        entry.replace(at, kDesktopEntryExecPlaceholder.size(), DesktopExecValue(executablePath));
    return entry + "X-GNOME-Autostart-enabled=true\n";
}

bool WriteXdgAutostart(const std::string& name, const std::string& executablePath) {
    const std::string folder = XdgAutostartFolder();
    if (folder.empty() || name.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return false;

    const std::string content = AutostartEntry(executablePath);
    // Hidden name in the same folder, so the rename replaces the entry in one step.
    std::string temporary = folder + "/." + name + ".desktop.XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool written = WriteAll(fd, content);
    written = fchmod(fd, 0644) == 0 && written;
    written = fsync(fd) == 0 && written;
    written = close(fd) == 0 && written;
    if (!written || std::rename(temporary.c_str(), EntryPath(name).c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool DeleteXdgAutostart(const std::string& name) {
    const std::string folder = XdgAutostartFolder();
    if (folder.empty() || name.empty()) return false;
    return unlink(EntryPath(name).c_str()) == 0;
}

}  // namespace gimbalo
