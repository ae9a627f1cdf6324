#include "platform/linux/desktop_open.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace gimbalo {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view WithoutQuotes(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

QString LocalText(const std::string& text) {
    return QFile::decodeName(text.c_str());
}

}  // namespace

ProgramCall SplitCommandLine(std::string_view commandLine) {
    std::size_t start = 0;
    while (start < commandLine.size() && IsBlank(commandLine[start])) ++start;
    std::size_t end = start;
    if (end < commandLine.size() && commandLine[end] == '"') {
        const std::size_t close = commandLine.find('"', end + 1);
        end = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        while (end < commandLine.size() && !IsBlank(commandLine[end])) ++end;
    }
    ProgramCall call;
    call.program = std::string(WithoutQuotes(commandLine.substr(start, end - start)));
    std::size_t rest = end;
    while (rest < commandLine.size() && IsBlank(commandLine[rest])) ++rest;
    call.argument = std::string(WithoutQuotes(commandLine.substr(rest)));
    return call;
}

bool IsExplorer(const std::string& program) {
    const QString name = QString::fromStdString(program);
    return name.compare(QStringLiteral("explorer"), Qt::CaseInsensitive) == 0 ||
           name.compare(QStringLiteral("explorer.exe"), Qt::CaseInsensitive) == 0;
}

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
