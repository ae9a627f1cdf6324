// The desktop's open and save dialogs behind one call, ShowFileDialog.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace gimbalo {

// Characters of the file name buffer and of the file title buffer.
constexpr uint32_t kFileDialogBuffer = 256;
// Characters of the custom filter buffer.
constexpr uint32_t kCustomFilterBuffer = 255;

// What the dialog is asked for, in the order callers know it. Every field but
// `OwnerWindow` may be left out and takes the default shown; leaving out the
// owner does not compile.
struct FileDialogOptions {
    // In and out: the dialog's flags; after a successful dialog the final
    // flags are written back here. Null: no flags and none asked back.
    uint32_t* Flags = nullptr;
    // Folder shown first; nothing: the process's current folder.
    std::optional<std::string> InitDir = std::nullopt;
    // Pairs of description and pattern, each part ended by a NUL character.
    std::string Filter = "";
    // Filter selected first, counting from 1.
    uint32_t FilterIndex = 1;
    // Extension added to a typed name that has none.
    std::string DefaultExt = "";
    // File name shown first, cut to 256 characters.
    std::string FileName = "";
    std::string DialogTitle = "";
    Form& OwnerWindow;
    // True: open dialog; false: save dialog.
    bool OpenFile = false;
};

// Shows the dialog and returns what was chosen: one full path, or with a
// multiple selection of several files one full path per file in the order
// the dialog gave them; nothing when the user cancelled or the dialog failed
// (an answer too long for the buffer included). Flags are written back only
// after success.
std::vector<std::string> ShowFileDialog(Platform& platform, const FileDialogOptions& options);

// The characters of `text` before its first NUL character, or all of it.
std::string TrimAtNul(const std::string& text);

// `folder` with a backslash appended unless it already ends in one; an empty
// folder gives "\".
std::string AddBackslash(const std::string& folder);

}  // namespace gimbalo
