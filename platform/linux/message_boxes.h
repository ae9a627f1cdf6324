// The program's message boxes on Qt: warnings with one OK button, their text
// said on the standard error too.
#pragma once

#include <cstdint>
#include <string>

namespace gimbalo {

class MessageBoxes {
public:
    // Says `text` on the standard error after `programName`, then shows the
    // box and waits until it is closed. IDOK.
    int Show(const std::string& text, const std::string& title, const std::string& programName);
    // Whether a box has also said its text on the standard error (a box
    // without words says nothing there).
    bool SaidOnTerminal() const { return saidOnTerminal_; }

private:
    bool saidOnTerminal_ = false;
};

}  // namespace gimbalo
