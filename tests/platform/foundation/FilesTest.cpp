#include "platform/foundation/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

    EXPECT_EQ(readFile(file, error), bytes("second"));
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
    EXPECT_FALSE(readFile(folder.path() / "absent", error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;

    error.clear();
    EXPECT_FALSE(readFile(folder.path(), error));
    EXPECT_FALSE(error.empty());
}

TEST(Files, EmptyFileReadsAsNoBytes) {
    testsupport::TestFolder folder;
    std::string error;
    ASSERT_TRUE(writeFileAtomically(folder.path() / "empty", {}, error)) << error;
    EXPECT_EQ(readFile(folder.path() / "empty", error), std::vector<std::uint8_t>{});
}

}  // namespace
