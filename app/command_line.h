// What the programs answer on the command line before they open the
// desktop, so that --help and --version work without a display.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace gimbalo {

// Exit status of a command line the program does not take.
constexpr int kUsageError = 2;

// "<program> 1.0.0", the copyright line and the licence, one per line.
std::string VersionText(const std::string& program);

// Prints the one-line complaint "<program>: <problem> (try <program>
// --help)" on `err` and returns kUsageError.
int UsageError(std::FILE* err, const std::string& program, const std::string& problem);

// gimbalo takes no arguments but --help (-h), --version and --pointer=WAY
// (uinput or xtest: how the Linux program moves the pointer). Answers the
// first two on `out`, complains about anything else on `err`, and returns
// the exit status then; nothing when the program should run, with the way
// given in `pointerWay` (empty when none was).
std::optional<int> AnswerGimbaloCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err,
                                            std::string& pointerWay);

}  // namespace gimbalo
