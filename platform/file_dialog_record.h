// What the open and save dialogs read from their record and leave in it, as
// the desktop's common dialogs do, apart from how the files are picked: the
// Qt dialogs and the replays' scripted answers share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace gimbalo {

// The record's filter list, description NUL patterns NUL ..., as pairs of
// description and patterns; two NULs in a row, or a description without its
// patterns, end the list.
std::vector<std::pair<std::string, std::string>> FilterPairs(const std::string& filter);

// The filter selected first, counting from 1: `requested` when it names one
// of `count` filters, else the first.
uint32_t FirstFilterIndex(uint32_t requested, std::size_t count);

// Writes the chosen files (full paths in the program's text, whose folders
// end at any of `separators`) into the record as a dialog closed with OK
// leaves it: one file as its path, the offsets of its name and extension and
// its name as the file title; several as the folder and each name,
// NUL-separated, with one more NUL. The filter index is the caller's. False,
// with the buffer untouched, when the answer does not fit (the dialog then
// fails, as on Windows).
bool RecordChosenFiles(OPENFILENAME& record, const std::vector<std::string>& chosen,
                       std::string_view separators = "/");

}  // namespace gimbalo
