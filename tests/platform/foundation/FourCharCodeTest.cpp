#include "platform/foundation/FourCharCode.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TestFolder.h"

namespace {

using foundation::fourCharCodeText;

// Python's mac_roman codec is the independent reference for the high half of the encoding. It runs once and decodes
// bytes 0x80 to 0xFF in groups of four, one group per line (none of them decodes to a line feed); a process per group
// took seconds under the sanitizers.
std::vector<std::string> pythonMacRomanGroups() {
    int exitCode = 0;
    const std::string output = testsupport::runCommand(
        "python3 -c \"import sys; sys.stdout.buffer.write(b''.join(bytes(range(b, b + 4)).decode('mac_roman')"
        ".encode('utf-8') + b'\\\\n' for b in range(0x80, 0x100, 4)))\"",
        exitCode);
    EXPECT_EQ(exitCode, 0);
    std::vector<std::string> groups;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) groups.push_back(line);
    return groups;
}

TEST(FourCharCode, ReadsMostSignificantByteFirst) {
    EXPECT_EQ(fourCharCodeText(0x61756D75), "aumu");
    EXPECT_EQ(fourCharCodeText(0x4B57424C), "KWBL");
    EXPECT_EQ(fourCharCodeText(0), std::string(4, '\0'));
    EXPECT_EQ(fourCharCodeText(561017960), "!pth");
}

TEST(FourCharCode, HighBytesDecodeAsMacOsRoman) {
    EXPECT_EQ(fourCharCodeText(0x8A8E9FA5), "\u00e4\u00e9\u00fc\u2022");
    const std::vector<std::string> groups = pythonMacRomanGroups();
    ASSERT_EQ(groups.size(), 32U);
    for (std::size_t group = 0; group < groups.size(); ++group) {
        const auto first = static_cast<std::uint32_t>(0x80 + 4 * group);
        const std::uint32_t code = first << 24 | (first + 1) << 16 | (first + 2) << 8 | (first + 3);
        EXPECT_EQ(fourCharCodeText(code), groups[group]) << std::hex << first;
    }
}

}  // namespace
