#include "lang/locale_query.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace gimbalo {

std::string QueryLocaleInfo(Platform& platform, uint32_t type) {
    std::array<char, 256> buffer{};
    const int written =
        platform.GetLocaleInfoA(0, type, buffer.data(), static_cast<int>(buffer.size()));
    if (written <= 0) return {};
    // The count includes the terminating NUL; never read past the buffer,
    // whatever count the platform reports, nor past the first NUL.
    const auto length =
        std::min<std::size_t>(static_cast<std::size_t>(written) - 1, buffer.size() - 1);
    const std::string_view answer(buffer.data(), length);
    return std::string(answer.substr(0, answer.find('\0')));
}

}  // namespace gimbalo
