// Qt's application object for the program's windows, tray icons and dialogs,
// with the arguments Qt keeps for its whole life, and the accessibility
// layer of the forms' widgets.
#pragma once

#include <memory>
#include <string>
#include <vector>

class QApplication;

namespace gimbalo {

class QtApplication {
public:
    QtApplication();
    // Runs what the windows left to deferred deletes, then ends Qt.
    ~QtApplication();

    // Starts Qt, on the desktop QT_QPA_PLATFORM names, with the program's arguments. False, with
    // `error` set to one line for the user, when Qt cannot start here.
    bool Start(int& argc, char** argv, std::string& error);
    bool Started() const { return static_cast<bool>(application_); }

private:
    // Qt keeps a reference to the argument count and the vector for the
    // life of the application, so they are kept here.
    int argc_ = 0;
    std::vector<std::string> arguments_;
    std::vector<char*> argv_;
    std::unique_ptr<QApplication> application_;
};

}  // namespace gimbalo
