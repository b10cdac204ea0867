#include "platform/audiounit/MIDIMessageLength.h"

#include <gtest/gtest.h>

TEST(MIDIMessageLength, FollowsTheStatusByte) {
    struct Case {
        std::uint8_t status;
        std::uint8_t length;
    };
    const Case cases[] = {{0x80, 3}, {0x9F, 3}, {0xA0, 3}, {0xB5, 3}, {0xC0, 2}, {0xCF, 2}, {0xD3, 2},
                          {0xE0, 3}, {0xF0, 0}, {0xF1, 2}, {0xF2, 3}, {0xF3, 2}, {0xF6, 1}, {0xF7, 1},
                          {0xF8, 1}, {0xFA, 1}, {0xFE, 1}, {0xFF, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(midiMessageLength(c.status), c.length) << std::hex << int{c.status};
    }
}
