// The program's text, UTF-8 bytes on Linux, as Qt text.
#pragma once

#include <QString>
#include <string_view>

namespace gimbalo {

// As it is.
inline QString QtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A record's text field: what comes before its first NUL.
inline QString QtFieldText(std::string_view text) {
    return QtText(text.substr(0, text.find('\0')));
}

// Text for the screen: Windows line ends (CR LF, or a lone CR) become line
// breaks.
inline QString QtShownText(std::string_view text) {
    QString out = QtText(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

}  // namespace gimbalo
