// Starting a program from a command line, the way the program's commands
// name it: "explorer ADDRESS" or "Explorer PATH" opens the address or file
// with the desktop's default handler; any other first word names a program
// that is started with the rest of the line as its one argument. Nothing goes
// through a shell.
#pragma once

#include <QUrl>
#include <string>
#include <string_view>

namespace gimbalo {

struct ProgramCall {
    std::string program;   // the first word, without surrounding quotes
    std::string argument;  // the rest, without one pair of surrounding quotes
};

// Splits a command line at the blank after its first word. A first word in
// double quotes may hold blanks. The rest is one argument, blanks and all;
// one pair of double quotes around it is dropped.
ProgramCall SplitCommandLine(std::string_view commandLine);

// Whether `program` names the desktop's file explorer, in any letter case.
bool IsExplorer(const std::string& program);

// What the explorer is asked to open, as an address: a full path or an
// existing file becomes a file address, an address with a scheme stays as it
// is, anything else is taken as a web address ("www.example.org").
QUrl DesktopUrl(const std::string& target);

// Opens `target` with the desktop's default handler without waiting.
// False when there is nothing to open or no handler could be started.
bool OpenWithDesktop(const std::string& target);

// Starts the program of `call` without waiting, found on the search path,
// with the argument as its only one (none when empty). False when it cannot
// be started.
bool StartDetached(const ProgramCall& call);

}  // namespace gimbalo
