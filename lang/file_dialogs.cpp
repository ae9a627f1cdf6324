#include "lang/file_dialogs.h"

#include <filesystem>
#include <system_error>

#include "core/file_io.h"
#include "platform/common/text_encoding.h"

namespace gimbalo {
namespace {

std::string CurrentFolder(bool textIsUtf8) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (error) return {};
    if (!textIsUtf8) return folder.string();
    const std::u8string utf8 = folder.u8string();
    return std::string(utf8.begin(), utf8.end());
}

// The name shown first in a buffer of exactly 256 characters, NUL-padded.
std::string FileNameBuffer(const std::string& fileName, bool textIsUtf8) {
    std::string buffer = FirstCharacters(fileName, kFileDialogBuffer, textIsUtf8);
    buffer.append(kFileDialogBuffer - CharacterCount(buffer, textIsUtf8), '\0');
    return buffer;
}

// The parts of a multiple-selection answer: the folder, then the file names.
// The list ends at the first empty part (two NULs in a row), so what an
// earlier, longer name left in the buffer is not taken for a file.
std::vector<std::string> SelectionParts(const std::string& buffer) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < buffer.size()) {
        std::size_t end = buffer.find('\0', start);
        if (end == std::string::npos) end = buffer.size();
        if (end == start) break;
        parts.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

}  // namespace

std::vector<std::string> ShowFileDialog(Platform& platform, const FileDialogOptions& options) {
    const bool utf8 = platform.TextIsUtf8();
    OPENFILENAME record;
    record.hwndOwner = &options.OwnerWindow;
    record.lpstrFilter = options.Filter;
    record.lpstrCustomFilter.assign(kCustomFilterBuffer, '\0');
    record.nMaxCustFilter = kCustomFilterBuffer;
    record.nFilterIndex = options.FilterIndex;
    record.lpstrFile = FileNameBuffer(options.FileName, utf8);
    record.nMaxFile = kFileDialogBuffer;
    record.lpstrFileTitle.assign(kFileDialogBuffer, '\0');
    record.nMaxFileTitle = kFileDialogBuffer;
    record.lpstrInitialDir = options.InitDir ? *options.InitDir : CurrentFolder(utf8);
    record.lpstrTitle = options.DialogTitle;
    record.Flags = options.Flags ? *options.Flags : 0;
    record.nFileOffset = 0;
    record.nFileExtension = 0;
    record.lpstrDefExt = options.DefaultExt;

    const bool chosen =
        options.OpenFile ? platform.GetOpenFileNameA(record) : platform.GetSaveFileNameA(record);
    if (!chosen) return {};
    if (options.Flags) *options.Flags = record.Flags;

    if (record.Flags & OFN_ALLOWMULTISELECT) {
        const std::vector<std::string> parts = SelectionParts(record.lpstrFile);
        if (parts.size() < 2) return parts;
        const std::string folder = AddSeparator(parts[0], platform.PathSeparator());
        std::vector<std::string> paths;
        for (std::size_t k = 1; k < parts.size(); ++k) paths.push_back(folder + parts[k]);
        return paths;
    }
    const std::string path = TrimAtNul(record.lpstrFile);
    if (path.empty()) return {};
    return {path};
}

std::string TrimAtNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

std::string AddBackslash(const std::string& folder) {
    return AddSeparator(folder, '\\');
}

}  // namespace gimbalo
