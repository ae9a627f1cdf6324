// Starting a program from a command line (platform/program_call.h says how
// one reads) on the Linux desktop. Nothing goes through a shell.
#pragma once

#include <QUrl>
#include <string>

#include "platform/program_call.h"

namespace gimbalo {

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
