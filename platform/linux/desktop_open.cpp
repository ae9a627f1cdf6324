#include "platform/linux/desktop_open.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace gimbalo {

namespace {

QString LocalText(const std::string& text) {
    return QFile::decodeName(text.c_str());
}

}  // namespace

QUrl DesktopUrl(const std::string& target) {
    if (target.empty()) return {};
    const QString text = LocalText(target);
    if (QDir::isAbsolutePath(text) || QFileInfo::exists(text))
        return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    // "https://...", "mailto:...": an address with a scheme of more than one
    // letter (one letter would be a Windows drive).
    const QUrl url(QString::fromUtf8(target.data(), static_cast<qsizetype>(target.size())),
                   QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1) return url;
    return QUrl::fromUserInput(
        QString::fromUtf8(target.data(), static_cast<qsizetype>(target.size())));
}

bool OpenWithDesktop(const std::string& target) {
    const QUrl url = DesktopUrl(target);
    if (!url.isValid()) return false;
    // Qt hands the address to the desktop's handler (xdg-open, or the
    // desktop's own service) as one argument, never through a shell.
    return QDesktopServices::openUrl(url);
}

bool StartDetached(const ProgramCall& call) {
    if (call.program.empty()) return false;
    QStringList arguments;
    if (!call.argument.empty()) arguments << LocalText(call.argument);
    return QProcess::startDetached(LocalText(call.program), arguments);
}

}  // namespace gimbalo
