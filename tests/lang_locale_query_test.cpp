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
        std::optional<int> reportedCount;  // nothing: the true count
        std::string answer;
        const char* what;
    } cases[] = {
        {"Italy", std::nullopt, "Italy", "country name"},
        {"United Kingdom", std::nullopt, "United Kingdom", "name with a blank"},
        {std::string(255, 'x'), std::nullopt, std::string(255, 'x'), "longest that fits"},
        {std::nullopt, std::nullopt, "", "no answer"},
        {"Italy", 1000, "Italy", "count beyond the answer: it still ends at its NUL"},
        {std::string(255, 'x'), 100000, std::string(255, 'x'), "count beyond the buffer"},
        {"Italy", 3, "It", "count short of the answer"},
        {"Italy", -1, "", "a negative count is a failure"},
    };
    testing::TempFolder folder;
    SimPlatform sim(folder.Path());
    for (const Case& c : cases) {
        sim.SetCountryName(c.country);
        sim.SetLocaleAnswerCount(c.reportedCount);
        EXPECT_EQ(QueryLocaleInfo(sim, LOCALE_SENGCOUNTRY), c.answer) << c.what;
    }
}

}  // namespace
}  // namespace gimbalo
