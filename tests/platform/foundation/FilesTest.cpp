#include "platform/foundation/Files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fstream>
#include <functional>

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/support/OversizedFile.h"
#include "tests/support/TestFolder.h"

// Locks this many more flock calls refuse, as a file system without a lock service (NFS without its lock daemon)
// refuses them all; the others go to the system.
static int locksRefused = 0;

extern "C" int flock(int fd, int operation) noexcept {
    if (locksRefused > 0) {
        --locksRefused;
        errno = ENOLCK;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_flock, fd, operation));
}

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

TEST(Files, AWriteWhereFilesCannotBeLockedMakesOneTemporaryFileAndLeavesNone) {
    testsupport::TestFolder folder;
    const std::filesystem::path file = folder.path() / "preset.plist";
    std::string error;
    locksRefused = 100;
    const bool written = writeFileAtomically(file, bytes("content"), error);
    locksRefused = 0;
    ASSERT_TRUE(written) << error;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"preset.plist"});
}

TEST(Files, AWriteRemovesOnlyTheTemporaryFilesOfItsOwnDeadWriters) {
    testsupport::TestFolder folder;
    struct Case {
        std::string name;
        std::function<void(const std::filesystem::path&)> make;
        bool removed;
    };
    const auto plain = [](const std::filesystem::path& path) { std::ofstream(path) << "left"; };
    const bool root = ::geteuid() == 0;
    std::vector<Case> cases = {
        {".state.plist.tunedeck-partial-a1B2c3", plain, true},   // a writer that crashed
        {".preset.plist.tunedeck-partial-Zz9999", plain, true},  // another file's writer that crashed
        {".live.plist.tunedeck-partial-x0x0x0", plain, false},   // a writer still at work holds the lock
        {".notes.txt.partial-ABCDEF", plain, false},             // the user's own file
        {".bank.sf2.korvel-partial-abcdef", plain, false},       // the synthesizer library's export
        {".odd.tunedeck-partial-ab-cde", plain, false},          // not six letters or digits
        {".bashrc.backup", plain, false},
        {"notes.tunedeck-partial-123456", plain, false},  // not hidden
        {".folder.tunedeck-partial-aaaaaa", [](const auto& path) { std::filesystem::create_directory(path); },
         false},
        {".link.tunedeck-partial-bbbbbb",
         [&](const auto& path) { std::filesystem::create_symlink(folder.path() / ".bashrc.backup", path); }, false},
    };
    if (root)
        cases.push_back({".other.tunedeck-partial-cccccc",
                         [&](const auto& path) {
                             plain(path);
                             ASSERT_EQ(::chown(path.c_str(), 12345, 12345), 0);
                         },
                         false});
    for (const Case& c : cases) c.make(folder.path() / c.name);
    const int live = ::open((folder.path() / ".live.plist.tunedeck-partial-x0x0x0").c_str(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    std::string error;
    ASSERT_TRUE(writeFileAtomically(folder.path() / "state.plist", bytes("new"), error)) << error;
    ::close(live);

    for (const Case& c : cases) {
        EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(folder.path() / c.name)), !c.removed)
            << c.name;
    }
}

TEST(Files, TemporaryNamesFitTheFileSystemAndAreRecognised) {
    for (const std::string& name : {std::string("a.plist"), std::string(255, 'n'), std::string(250, 'w') + ".wav",
                                    std::string(229, 'x') + "\xc3\xa9\xc3\xa9\xc3\xa9"}) {
        SCOPED_TRACE(name.size());
        const std::string temporary = temporaryNameFor("/tmp", name).filename().string();
        EXPECT_LE(temporary.size(), std::size_t{NAME_MAX});
        EXPECT_TRUE(isAtomicWriteTemporaryName(temporary)) << temporary;
        EXPECT_TRUE(temporary.starts_with("." + name.substr(0, 200))) << temporary;
        // Shortened at a character boundary, never inside a multi-byte one.
        const std::size_t mark = temporary.find(".tunedeck-partial-", 1);
        EXPECT_NE(static_cast<unsigned char>(temporary[mark - 1]), 0xC3) << temporary;
    }
}

TEST(Files, ANewFileTakesTheUmasksModeAndAReplacedOneKeepsItsOwn) {
    testsupport::TestFolder folder;
    const auto file = folder.path() / "defaults.plist";
    std::string error;
    const mode_t previous = ::umask(077);
    const bool written = writeFileAtomically(file, bytes("new"), error);
    ::umask(previous);
    ASSERT_TRUE(written) << error;
    struct stat info{};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // Kept too where it keeps the owner from reading, which the temporary file allowed until the rename.
    for (const mode_t kept : {0640u, 0200u, 0u}) {
        ::chmod(file.c_str(), kept);
        ASSERT_TRUE(writeFileAtomically(file, bytes("again"), error)) << error;
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, kept);
    }
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
