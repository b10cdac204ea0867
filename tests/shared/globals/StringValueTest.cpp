#include "shared/globals/StringValue.h"

#include <gtest/gtest.h>

namespace {

TEST(StringValue, FourCharacterCodes) {
    const struct {
        std::uint32_t value;
        std::string text;
    } cases[] = {
        {(std::uint32_t{'a'} << 24) | (std::uint32_t{'u'} << 16) | (std::uint32_t{'m'} << 8) | 'u', "aumu"},
        {0, std::string(4, '\0')},
        {0x71427666, "qBvf"},
        {0x2170FF68, "!p\u02c7h"},
        {0x00000041, std::string(3, '\0') + "A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(stringValue(c.value), c.text);
    }
}

}  // namespace
