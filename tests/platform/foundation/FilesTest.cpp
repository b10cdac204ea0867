#include "platform/foundation/Files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/support/OversizedFile.h"
#include "tests/support/TestFolder.h"

namespace {

using namespace foundation;

std::vector<std::uint8_t> bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(Files, AtomicWriteReplacesTheContentKeepsTheModeAndLeavesNoTemporaryFile) {
    testsupport::TestFolder folder;
    const auto file = folder.path() / "state.plist";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(file, bytes("first version, longer"), error)) << error;
    ::chmod(file.c_str(), 0600);
    ASSERT_TRUE(writeFileAtomically(file, bytes("second"), error)) << error;

    EXPECT_EQ(readFile(file, kPropertyListFileByteLimit, error), bytes("second"));
    struct stat info{};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(Files, FailuresNameThePathAndChangeNothing) {
    testsupport::TestFolder folder;
    std::string error;
    const auto missingFolder = folder.path() / "missing" / "file";
    EXPECT_FALSE(writeFileAtomically(missingFolder, bytes("x"), error));
    EXPECT_NE(error.find(missingFolder.string()), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(missingFolder));

    error.clear();
    EXPECT_FALSE(readFile(folder.path() / "absent", kPropertyListFileByteLimit, error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;

    error.clear();
    EXPECT_FALSE(readFile(folder.path(), kPropertyListFileByteLimit, error));
    EXPECT_FALSE(error.empty());
}

TEST(Files, EmptyFileReadsAsNoBytes) {
    testsupport::TestFolder folder;
    std::string error;
    ASSERT_TRUE(writeFileAtomically(folder.path() / "empty", {}, error)) << error;
    EXPECT_EQ(readFile(folder.path() / "empty", kPropertyListFileByteLimit, error), std::vector<std::uint8_t>{});
}

TEST(Files, AWriteRemovesTemporaryFilesOfDeadWritersAndKeepsLiveOnesAndOtherFiles) {
    testsupport::TestFolder folder;
    const auto touch = [&](const std::string& name) { std::ofstream(folder.path() / name) << "left"; };
    touch(".state.plist.partial-a1B2c3");   // a writer that crashed
    touch(".preset.plist.partial-Zz9999");  // another file's writer that crashed
    touch(".live.plist.partial-x0x0x0");    // a writer still at work holds the lock
    touch(".bashrc.backup");
    touch("notes.partial-123456");
    const int live = ::open((folder.path() / ".live.plist.partial-x0x0x0").c_str(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    std::string error;
    ASSERT_TRUE(writeFileAtomically(folder.path() / "state.plist", bytes("new"), error)) << error;
    ::close(live);

    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{".bashrc.backup", ".live.plist.partial-x0x0x0", "notes.partial-123456",
                                              "state.plist"}));
}

TEST(Files, ReadingRefusesAFileOverTheLimitWithoutReadingIt) {
    testsupport::TestFolder folder;
    std::string error;
    ASSERT_TRUE(writeFileAtomically(folder.path() / "eleven", bytes("eleven byte"), error)) << error;
    EXPECT_EQ(readFile(folder.path() / "eleven", 11, error), bytes("eleven byte"));
    EXPECT_FALSE(readFile(folder.path() / "eleven", 10, error));
    EXPECT_NE(error.find("larger than 10 bytes"), std::string::npos) << error;
    // A device has no size to check; the limit still ends the read.
    EXPECT_FALSE(readFile("/dev/zero", 1 << 20, error));
    EXPECT_NE(error.find("larger than"), std::string::npos) << error;
}

TEST(Files, PropertyListReadersRefuseATwoGigabyteFileWithoutReadingIt) {
    testsupport::TestFolder folder;
    const auto path = folder.path() / "huge.plist";
    ASSERT_TRUE(testsupport::makeSparseFile(path, "<?xml version=\"1.0\"?><plist><dict>", std::uint64_t{2} << 30));
    const std::vector<std::pair<const char*, std::function<bool()>>> readers = {
        {"property list file", [&] { std::string error; return readPlistFile(path, error).has_value(); }},
        {"user defaults", [&] { return UserDefaults("huge", folder.path()).set("key", 1); }},
        {"whole file", [&] { std::string error; return readFile(path, kPropertyListFileByteLimit, error).has_value(); }},
    };
    for (const auto& [reader, read] : readers) {
        SCOPED_TRACE(reader);
        const auto result = testsupport::readInChild(read);
        EXPECT_TRUE(result.ran);
        EXPECT_TRUE(result.refused);
        EXPECT_LT(result.residentGrowthBytes, 100 << 20);
    }
}

}  // namespace
