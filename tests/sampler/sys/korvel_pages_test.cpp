// Whole mappings of present pages: lengths, alignment, zero fill and release.
#include "sampler/src/sys/korvel_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr size_t KIB = 1024;
constexpr size_t MIB = 1024 * KIB;

TEST(Pages, MappingsAreWholeAlignedZeroFilledAndWritable)
{
    struct Case {
        size_t bytes;
        size_t length;
        size_t alignment;
    };
    const Case cases[] = {
        {1, 4 * KIB, 4 * KIB},        {4 * KIB, 4 * KIB, 4 * KIB},        {70 * KIB + 1, 72 * KIB, 4 * KIB},
        {MIB - 1, MIB, 4 * KIB},      {MIB, 2 * MIB, 2 * MIB},            {1080 * KIB, 2 * MIB, 2 * MIB},
        {2 * MIB + 1, 4 * MIB, 2 * MIB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(korvel_pages_length(c.bytes), c.length);
        auto* pages = static_cast<unsigned char*>(korvel_pages_new(c.bytes));
        ASSERT_NE(pages, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(pages) % c.alignment, 0u);
        EXPECT_TRUE(std::all_of(pages, pages + c.length, [](unsigned char b) { return b == 0; }));
        std::memset(pages, 0x5a, c.length);
        EXPECT_EQ(pages[c.length - 1], 0x5a);
        korvel_pages_delete(pages, c.bytes);
    }
    korvel_pages_delete(nullptr, 1);
}

// Pages supplied at first touch: the same lengths, zero-filled each time, also after a release of written memory of
// the same size.
TEST(Pages, OnTouchMappingsAreZeroFilledEveryTime)
{
    for (size_t bytes : {size_t{1}, 70 * KIB + 1, 7 * MIB + 3}) {
        SCOPED_TRACE(bytes);
        for (int round = 0; round < 2; round++) {
            auto* pages = static_cast<unsigned char*>(korvel_pages_new_on_touch(bytes));
            ASSERT_NE(pages, nullptr);
            EXPECT_EQ(reinterpret_cast<uintptr_t>(pages) % (4 * KIB), 0u);
            const size_t length = korvel_pages_length(bytes);
            EXPECT_TRUE(std::all_of(pages, pages + length, [](unsigned char b) { return b == 0; }));
            std::memset(pages, 0xc3, length);
            korvel_pages_delete(pages, bytes);
        }
    }
}

} // namespace
