// A command line as the program's commands write it: "explorer ADDRESS" or
// "Explorer PATH" opens the address or file with the desktop's default
// handler; any other first word names a program that is started with the
// rest of the line as its one argument. The program writes them, the backends
// split them.
#pragma once

#include <string>
#include <string_view>

namespace gimbalo {

struct ProgramCall {
    std::string program;   // the first word, without surrounding quotes
    std::string argument;  // the rest, without one pair of surrounding quotes
};

// `word` ("explorer" or "Explorer"), one blank and `path`. A path holding a
// blank or a tab is put in double quotes, since unquoted it would name
// another file.
std::string ExplorerCommand(const std::string& word, const std::string& path);

// Splits a command line at the blank after its first word. A first word in
// double quotes may hold blanks. The rest is one argument, blanks and all;
// one pair of double quotes around it is dropped.
ProgramCall SplitCommandLine(std::string_view commandLine);

// Whether `program` names the desktop's file explorer ("explorer" or
// "explorer.exe"), in any letter case.
bool IsExplorer(std::string_view program);

}  // namespace gimbalo
