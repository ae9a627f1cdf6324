#include "platform/program_call.h"

#include <algorithm>
#include <cctype>

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

bool SameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
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

std::string ExplorerCommand(const std::string& word, const std::string& path) {
    if (path.find_first_of(" \t") != std::string::npos) return word + " \"" + path + '"';
    return word + ' ' + path;
}

bool IsExplorer(std::string_view program) {
    return SameLetters(program, "explorer") || SameLetters(program, "explorer.exe");
}

}  // namespace gimbalo
