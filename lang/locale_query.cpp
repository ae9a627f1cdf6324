#include "lang/locale_query.h"

#include <algorithm>
#include <array>

namespace gimbalo {

std::string QueryLocaleInfo(Platform& platform, uint32_t type) {
    std::array<char, 256> buffer{};
    const int written =
        platform.GetLocaleInfoA(0, type, buffer.data(), static_cast<int>(buffer.size()));
    if (written <= 0) return {};
    // The count includes the terminating NUL; never read past the buffer.
    const auto length =
        std::min<std::size_t>(static_cast<std::size_t>(written) - 1, buffer.size() - 1);
    return std::string(buffer.data(), length);
}

}  // namespace gimbalo
