#include "platform/foundation/DateText.h"

#include <gtest/gtest.h>

#include <ctime>

#include "tests/support/ScopedEnvironment.h"

namespace {

TEST(DateText, MediumDateAndTimeInTheLocalZone) {
    testsupport::ScopedEnvironment environment;
    environment.set("TZ", "UTC");
    ::tzset();
    const std::pair<std::time_t, const char*> cases[] = {
        {0, "Jan 1, 1970, 12:00:00 AM"},
        {1796911068, "Dec 10, 2026, 1:57:48 PM"},
        {1796904000, "Dec 10, 2026, 12:00:00 PM"},
        {951825599, "Feb 29, 2000, 11:59:59 AM"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(foundation::mediumDateTimeText(std::chrono::system_clock::from_time_t(seconds)), text) << seconds;
    }
    environment.set("TZ", "Europe/Berlin");
    ::tzset();
    EXPECT_EQ(foundation::mediumDateTimeText(std::chrono::system_clock::from_time_t(1796911068)),
              "Dec 10, 2026, 2:57:48 PM");
}

}  // namespace
