#include "platform/foundation/FourCharCode.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TestFolder.h"

namespace {

using foundation::fourCharCodeText;

// Python's mac_roman codec is the independent reference for the high half of the encoding.
std::string pythonMacRoman(int firstByte) {
    const std::string command = "python3 -c \"import sys; sys.stdout.buffer.write(bytes(range(" +
                                std::to_string(firstByte) + ", " + std::to_string(firstByte + 4) +
                                ")).decode('mac_roman').encode('utf-8'))\"";
    int exitCode = 0;
    return testsupport::runCommand(command, exitCode);
}

TEST(FourCharCode, ReadsMostSignificantByteFirst) {
    EXPECT_EQ(fourCharCodeText(0x61756D75), "aumu");
    EXPECT_EQ(fourCharCodeText(0x4B57424C), "KWBL");
    EXPECT_EQ(fourCharCodeText(0), std::string(4, '\0'));
    EXPECT_EQ(fourCharCodeText(561017960), "!pth");
}

TEST(FourCharCode, HighBytesDecodeAsMacOsRoman) {
    EXPECT_EQ(fourCharCodeText(0x8A8E9FA5), "\u00e4\u00e9\u00fc\u2022");
    for (int first = 0x80; first < 0x100; first += 4) {
        const auto code = static_cast<std::uint32_t>(first) << 24 | static_cast<std::uint32_t>(first + 1) << 16 |
                          static_cast<std::uint32_t>(first + 2) << 8 | static_cast<std::uint32_t>(first + 3);
        EXPECT_EQ(fourCharCodeText(code), pythonMacRoman(first)) << std::hex << first;
    }
}

}  // namespace
