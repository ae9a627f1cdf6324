// The open and save dialogs: a Qt file dialog set up from the record, whose
// answer goes back into the record as the desktop's common dialogs leave it.
#include <QFileDialog>
#include <QStringList>
#include <QWindow>
#include <string>
#include <vector>

#include "platform/file_dialog_record.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/qt_form_host.h"
#include "platform/linux/qt_text.h"

namespace gimbalo {

namespace {

constexpr uint32_t OFN_OVERWRITEPROMPT = 0x2;
constexpr uint32_t OFN_FILEMUSTEXIST = 0x1000;

QString Path(const std::string& path) {
    return QFile::decodeName(path.substr(0, path.find('\0')).c_str());
}

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// "Language files" NUL "*.lng;*.txt" NUL ... as Qt's "Language files (*.lng *.txt)".
QStringList NameFilters(const std::string& filter) {
    QStringList filters;
    for (const auto& [description, patternList] : FilterPairs(filter)) {
        QString patterns = QtFieldText(patternList);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QtFieldText(description) + QStringLiteral(" (") + patterns.simplified() +
                       QLatin1Char(')');
    }
    return filters;
}

bool RunFileDialog(OPENFILENAME& record, bool open, QWidget* owner) {
    if (record.nMaxFile == 0) return false;
    const bool multiple = (record.Flags & OFN_ALLOWMULTISELECT) != 0;

    // The dialog is nobody's child: a form that unloads while it runs takes
    // its window with it, and must not take the dialog too. It stands over
    // the owner's window when there is one on the screen (the hidden main
    // window has none); it is modal for the whole program either way.
    QFileDialog dialog(nullptr, QtFieldText(record.lpstrTitle));
    dialog.setWindowModality(Qt::ApplicationModal);
    if (owner != nullptr && owner->windowHandle() != nullptr) {
        dialog.winId();  // makes the native window that carries the hint
        dialog.windowHandle()->setTransientParent(owner->windowHandle());
    }
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
        dialog.selectNameFilter(filters.at(static_cast<qsizetype>(
            FirstFilterIndex(record.nFilterIndex, static_cast<std::size_t>(filters.size())) - 1)));
    }
    if (!record.lpstrInitialDir.empty()) dialog.setDirectory(Path(record.lpstrInitialDir));
    QString suffix = QtFieldText(record.lpstrDefExt);
    if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    // The name shown first; a full path also opens its folder.
    const QString initialName = Path(record.lpstrFile);
    if (!initialName.isEmpty()) dialog.selectFile(initialName);

    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;

    std::vector<std::string> paths;
    for (const QString& file : chosen) paths.push_back(PathBytes(file));
    // An answer too long for the buffer fails, as it does on Windows.
    if (!RecordChosenFiles(record, paths)) return false;
    if (!filters.isEmpty()) {
        const auto selected = filters.indexOf(dialog.selectedNameFilter());
        if (selected >= 0) record.nFilterIndex = static_cast<uint32_t>(selected) + 1;
    }
    return true;
}

}  // namespace

QWidget* LinuxPlatform::DialogOwner(Form* form) const {
    const QtFormHost* host = form != nullptr ? QtHostOf(*form) : nullptr;
    QWidget* window = host != nullptr ? host->Window() : nullptr;
    return window != nullptr && window->isVisible() ? window : nullptr;
}

bool LinuxPlatform::GetOpenFileNameA(OPENFILENAME& record) {
    return application_ && !ended_ && RunFileDialog(record, true, DialogOwner(record.hwndOwner));
}

bool LinuxPlatform::GetSaveFileNameA(OPENFILENAME& record) {
    return application_ && !ended_ && RunFileDialog(record, false, DialogOwner(record.hwndOwner));
}

}  // namespace gimbalo
