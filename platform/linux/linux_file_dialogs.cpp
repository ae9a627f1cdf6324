// The open and save dialogs: a Qt file dialog set up from the record, whose
// answer goes back into the record as the desktop's common dialogs leave it.
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>
#include <string>
#include <vector>

#include "lang/text_encoding.h"
#include "platform/linux/form_host.h"
#include "platform/linux/linux_platform.h"

namespace gimbalo {

namespace {

constexpr uint32_t OFN_OVERWRITEPROMPT = 0x2;
constexpr uint32_t OFN_FILEMUSTEXIST = 0x1000;

QString Text(const std::string& text) {
    const std::string shown = text.substr(0, text.find('\0'));
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

QString Path(const std::string& path) {
    return QFile::decodeName(path.substr(0, path.find('\0')).c_str());
}

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// "Language files" NUL "*.lng;*.txt" NUL ... as Qt's "Language files (*.lng *.txt)".
// A description without its pattern ends the list.
QStringList NameFilters(const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < filter.size()) {
        const std::size_t end = std::min(filter.find('\0', start), filter.size());
        if (end == start) break;  // two NULs in a row end the list
        parts.push_back(filter.substr(start, end - start));
        start = end + 1;
    }
    QStringList filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = Text(parts[i + 1]);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << Text(parts[i]) + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
    }
    return filters;
}

// Offset in characters of the extension of the file name that starts at byte
// `nameOffsetBytes` of `path`: just after the name's last dot; the end of the
// path when the name has no dot; 0 when the name ends with its dot.
uint16_t ExtensionOffset(const std::string& path, std::size_t nameOffsetBytes) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameOffsetBytes)
        return static_cast<uint16_t>(CharacterCount(path, true));
    if (dot + 1 == path.size()) return 0;
    return static_cast<uint16_t>(CharacterCount(std::string_view(path).substr(0, dot + 1), true));
}

// Puts `text` (NUL characters included) into the record's buffer of
// `size` characters, NUL-padded; false when it does not fit with a closing NUL.
bool FillBuffer(std::string& buffer, uint32_t size, const std::string& text) {
    const std::size_t characters = CharacterCount(text, true);
    if (size == 0 || characters + 1 > size) return false;
    buffer = text;
    buffer.append(size - characters, '\0');
    return true;
}

bool RunFileDialog(OPENFILENAME& record, bool open, QWidget* owner) {
    if (record.nMaxFile == 0) return false;
    const bool multiple = (record.Flags & OFN_ALLOWMULTISELECT) != 0;

    // Without an owner on the screen (the hidden main window has no window)
    // the dialog stands alone; it is modal for the whole program either way.
    QFileDialog dialog(owner, Text(record.lpstrTitle));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (!open)
        dialog.setFileMode(QFileDialog::AnyFile);
    else if (multiple)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else
        // A typed name that does not exist is the caller's to judge, unless
        // it asked for existing files only.
        dialog.setFileMode((record.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                              : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (record.Flags & OFN_OVERWRITEPROMPT) == 0);

    const QStringList filters = NameFilters(record.lpstrFilter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const uint32_t index = record.nFilterIndex;
        dialog.selectNameFilter(filters.at(
            index >= 1 && index <= static_cast<uint32_t>(filters.size()) ? index - 1 : 0));
    }
    if (!record.lpstrInitialDir.empty()) dialog.setDirectory(Path(record.lpstrInitialDir));
    QString suffix = Text(record.lpstrDefExt);
    if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    // The name shown first; a full path also opens its folder.
    const QString initialName = Path(record.lpstrFile);
    if (!initialName.isEmpty()) dialog.selectFile(initialName);

    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;

    std::string result;
    std::size_t nameOffsetBytes = 0;
    if (chosen.size() == 1) {
        result = PathBytes(chosen.first());
        const std::size_t slash = result.rfind('/');
        nameOffsetBytes = slash == std::string::npos ? 0 : slash + 1;
    } else {
        // The folder, then each name, each closed by a NUL, and one NUL more.
        const QString folder = QFileInfo(chosen.first()).absolutePath();
        result = PathBytes(folder);
        result.push_back('\0');
        nameOffsetBytes = result.size();
        for (const QString& file : chosen) {
            result += PathBytes(QFileInfo(file).fileName());
            result.push_back('\0');
        }
    }
    // An answer too long for the buffer fails, as it does on Windows.
    if (!FillBuffer(record.lpstrFile, record.nMaxFile, result)) return false;

    const std::string firstName = PathBytes(QFileInfo(chosen.first()).fileName());
    record.nFileOffset = static_cast<uint16_t>(
        CharacterCount(std::string_view(result).substr(0, nameOffsetBytes), true));
    record.nFileExtension = chosen.size() == 1 ? ExtensionOffset(result, nameOffsetBytes) : 0;
    if (record.nMaxFileTitle > 0 && chosen.size() == 1)
        FillBuffer(record.lpstrFileTitle, record.nMaxFileTitle, firstName);
    if (!filters.isEmpty()) {
        const auto selected = filters.indexOf(dialog.selectedNameFilter());
        if (selected >= 0) record.nFilterIndex = static_cast<uint32_t>(selected) + 1;
    }
    return true;
}

}  // namespace

QWidget* LinuxPlatform::DialogOwner(Form* form) const {
    if (form == nullptr) return nullptr;
    const auto host = hosts_.find(form);
    if (host == hosts_.end() || host->second->Window() == nullptr) return nullptr;
    QWidget* window = host->second->Window();
    return window->isVisible() ? window : nullptr;
}

bool LinuxPlatform::GetOpenFileNameA(OPENFILENAME& record) {
    return application_ && !ended_ && RunFileDialog(record, true, DialogOwner(record.hwndOwner));
}

bool LinuxPlatform::GetSaveFileNameA(OPENFILENAME& record) {
    return application_ && !ended_ && RunFileDialog(record, false, DialogOwner(record.hwndOwner));
}

}  // namespace gimbalo
