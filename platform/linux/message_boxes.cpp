#include "platform/linux/message_boxes.h"

#include <QMessageBox>
#include <cstdio>

#include "platform/linux/qt_text.h"

namespace gimbalo {

namespace {
constexpr int IDOK = 1;

// The text as one line of the terminal: each run of line breaks becomes one
// blank, and blanks at either end go.
std::string LinesJoinedByBlanks(const std::string& text) {
    std::string line;
    bool pendingBlank = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            pendingBlank = true;
            continue;
        }
        if (pendingBlank && !line.empty() && line.back() != ' ') line += ' ';
        pendingBlank = false;
        line += c;
    }
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}
}  // namespace

int MessageBoxes::Show(const std::string& text, const std::string& title,
                       const std::string& programName) {
    // Said on the terminal too, before the box waits: a user who started the
    // program from one, or whose session keeps a log, sees why it stopped.
    const std::string line = LinesJoinedByBlanks(text);
    if (!line.empty()) {
        std::fprintf(stderr, "%s: %s\n", programName.c_str(), line.c_str());
        std::fflush(stderr);
        saidOnTerminal_ = true;
    }
    // The program's only boxes are warnings with one OK button.
    QMessageBox box(QMessageBox::Warning, QtShownText(title), QtShownText(text), QMessageBox::Ok);
    box.exec();
    return IDOK;
}

}  // namespace gimbalo
