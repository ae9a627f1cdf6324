// The user's country as the language choice asks for it.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "lang/locale_query.h"
#include "platform/sim/sim_platform.h"
#include "tests/test_support.h"

namespace gimbalo {
namespace {

TEST(LocaleQueryTest, ReturnsThePlatformsAnswerOrNothing) {
    struct Case {
        std::optional<std::string> country;
        uint32_t type;
        std::string answer;
        const char* what;
    } cases[] = {
        {"Italy", LOCALE_SENGCOUNTRY, "Italy", "country name"},
        {"United Kingdom", LOCALE_SENGCOUNTRY, "United Kingdom", "name with a blank"},
        {std::string(255, 'x'), LOCALE_SENGCOUNTRY, std::string(255, 'x'), "longest that fits"},
        {std::string(256, 'x'), LOCALE_SENGCOUNTRY, "", "too long for the buffer"},
        {std::nullopt, LOCALE_SENGCOUNTRY, "", "no answer"},
        {"Italy", 0x1001, "", "type the platform does not know"},
    };
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    for (const Case& c : cases) {
        sim.SetCountryName(c.country);
        EXPECT_EQ(QueryLocaleInfo(sim, c.type), c.answer) << c.what;
    }
}

}  // namespace
}  // namespace gimbalo
