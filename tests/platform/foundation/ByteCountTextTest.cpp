#include "platform/foundation/ByteCountText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ByteCountText, DecimalUnitsWithTheirDecimals) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "Zero KB"},
        {1, "1 byte"},
        {2, "2 bytes"},
        {999, "999 bytes"},
        {1000, "1 KB"},
        {1499, "1 KB"},
        {1500, "2 KB"},
        {999'499, "999 KB"},
        {999'500, "1 MB"},
        {1'000'000, "1 MB"},
        {1'550'000, "1.6 MB"},
        {2'500'000, "2.5 MB"},
        {999'960'000, "1 GB"},
        {1'250'000'000, "1.25 GB"},
        {3'000'000'000'000, "3 TB"},
        {std::numeric_limits<std::int64_t>::max(), "9.22 EB"},
        {-5, "-5 bytes"},
        {-1, "-1 byte"},
        {std::numeric_limits<std::int64_t>::min(), "-9.22 EB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(foundation::byteCountText(bytes), text) << bytes;
}

}  // namespace
