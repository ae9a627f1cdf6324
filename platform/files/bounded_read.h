// The reading of a file's bytes, the same on every system: block after
// block until the end, never more than one byte past the limit, as the
// file may grow while it is read.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

#include "platform/file_system.h"

namespace gimbalo {

// `readBlock(buffer, wanted)` reads at most `wanted` bytes into `buffer` and
// gives how many it read, 0 at the end or on an error. The bytes read, or
// TooLarge when there were more than `limit`.
template <typename ReadBlock>
ReadResult ReadUpTo(std::size_t limit, ReadBlock readBlock) {
    ReadResult result;
    char block[16384];
    while (result.bytes.size() <= limit) {
        const std::size_t got =
            readBlock(block, std::min(sizeof block, limit + 1 - result.bytes.size()));
        if (got == 0) break;
        result.bytes.append(block, got);
    }
    if (result.bytes.size() > limit) {
        result.bytes.clear();
        result.status = ReadStatus::TooLarge;
    } else {
        result.status = ReadStatus::Read;
    }
    return result;
}

}  // namespace gimbalo
