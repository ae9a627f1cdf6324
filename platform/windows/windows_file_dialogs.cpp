// The open and save dialogs: the record's UTF-8 texts become the wide
// record of GetOpenFileNameW and GetSaveFileNameW, and the answer comes back
// into the record laid out as GetOpenFileNameA leaves it, in UTF-8.
#include <algorithm>

#include "platform/common/text_encoding.h"
#include "platform/windows/ui_thread_loop.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"

namespace gimbalo {

namespace {

// The smallest custom filter buffer the dialogs take.
constexpr uint32_t kLeastCustomFilter = 40;

// `text` up to its first NUL (its first two NULs in a row with `pairs`).
std::wstring_view UpToNul(const std::wstring& text, bool pairs) {
    const std::size_t end = pairs ? text.find(std::wstring_view(L"\0\0", 2)) : text.find(L'\0');
    return std::wstring_view(text).substr(0, end);
}

// A wide text as the record holds its buffers: UTF-8 padded with NULs to
// `size` characters.
std::string RecordBuffer(std::wstring_view text, uint32_t size) {
    std::string buffer = Utf8(text);
    const std::size_t characters = CharacterCount(buffer, true);
    if (characters < size) buffer.append(size - characters, '\0');
    return buffer;
}

// The number of characters (not UTF-16 units) in the first `units` of `text`.
uint16_t Characters(const std::wstring& text, WORD units) {
    return static_cast<uint16_t>(
        CharacterCount(Utf8(std::wstring_view(text).substr(0, units)), true));
}

const wchar_t* OrNull(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
}

}  // namespace

bool WindowsPlatform::RunFileDialog(OPENFILENAME& record, bool open) {
    if (!loop_ || ended_ || record.nMaxFile == 0) return false;
    const bool multiple = (record.Flags & OFN_ALLOWMULTISELECT) != 0;

    // Pairs of description and patterns, each part NUL-ended, then one
    // NUL more.
    std::wstring filter = Wide(record.lpstrFilter);
    if (!filter.empty()) filter.append(2, L'\0');
    std::wstring customFilter(std::max(record.nMaxCustFilter, kLeastCustomFilter), L'\0');
    std::wstring file(record.nMaxFile, L'\0');
    const std::wstring initialName = Wide(record.lpstrFile.substr(0, record.lpstrFile.find('\0')));
    initialName.copy(file.data(), std::min<std::size_t>(initialName.size(), file.size() - 1));
    std::wstring fileTitle(record.nMaxFileTitle, L'\0');
    const std::wstring initialDir = Wide(record.lpstrInitialDir);
    const std::wstring title = Wide(record.lpstrTitle.substr(0, record.lpstrTitle.find('\0')));
    const std::wstring defaultExt = Wide(record.lpstrDefExt);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = OwnerWindow(record.hwndOwner);
    dialog.lpstrFilter = OrNull(filter);
    dialog.lpstrCustomFilter = record.nMaxCustFilter > 0 ? customFilter.data() : nullptr;
    dialog.nMaxCustFilter = record.nMaxCustFilter > 0 ? static_cast<DWORD>(customFilter.size()) : 0;
    dialog.nFilterIndex = record.nFilterIndex;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = record.nMaxFile;
    dialog.lpstrFileTitle = fileTitle.empty() ? nullptr : fileTitle.data();
    dialog.nMaxFileTitle = record.nMaxFileTitle;
    dialog.lpstrInitialDir = OrNull(initialDir);
    dialog.lpstrTitle = OrNull(title);
    // Several files come back NUL-separated only from the Explorer-style
    // dialog, as the program reads them.
    dialog.Flags = record.Flags | (multiple ? OFN_EXPLORER : 0);
    dialog.lpstrDefExt = OrNull(defaultExt);

    const BOOL chosen = open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
    if (!chosen || ended_) return false;

    record.Flags = dialog.Flags;
    record.nFilterIndex = dialog.nFilterIndex;
    const bool several =
        multiple && dialog.nFileOffset > 0 && file[dialog.nFileOffset - 1] == L'\0';
    record.lpstrFile = RecordBuffer(UpToNul(file, several), record.nMaxFile);
    record.nFileOffset = Characters(file, dialog.nFileOffset);
    record.nFileExtension =
        dialog.nFileExtension == 0 ? 0 : Characters(file, dialog.nFileExtension);
    if (!fileTitle.empty())
        record.lpstrFileTitle = RecordBuffer(UpToNul(fileTitle, false), record.nMaxFileTitle);
    return true;
}

bool WindowsPlatform::GetOpenFileNameA(OPENFILENAME& record) {
    return RunFileDialog(record, true);
}

bool WindowsPlatform::GetSaveFileNameA(OPENFILENAME& record) {
    return RunFileDialog(record, false);
}

}  // namespace gimbalo
