#include "platform/foundation/FileTarget.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/TestFolder.h"

namespace {

namespace fs = std::filesystem;
using foundation::FileTarget;
using foundation::FileTargetSystem;

// What the injected system calls do instead of the real ones.
bool unnamedFilesRefused = false;
fs::path protectedFile;

int injectedOpen(const char* path, int flags, mode_t mode) {
    if (unnamedFilesRefused && (flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    if (!protectedFile.empty() && path == protectedFile && (flags & O_ACCMODE) != O_RDONLY) {
        errno = EPERM;
        return -1;
    }
    return ::open(path, flags, mode);
}

bool failingFolderSync(const fs::path&) {
    errno = EIO;
    return false;
}

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

mode_t modeOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Every name in folder and its subfolders, sorted.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.push_back(fs::relative(entry.path(), folder).string());
    std::sort(names.begin(), names.end());
    return names;
}

// How a target is made immutable: not at all, by its flag where this file system and the test's rights allow (else
// as injected), or only by the injected open refusing it as the system would.
enum class Protection { none, flagOrInjected, injected };

// Marks file immutable where this file system and the test's rights allow, else has the injected open refuse it as
// the system would. Either way it is writable again when the object goes.
class Immutable {
public:
    Immutable(const fs::path& file, Protection protection) : file_(file) {
        if (protection == Protection::injected || !setFlag(true)) protectedFile = file;
    }
    ~Immutable() {
        if (protectedFile.empty()) setFlag(false);
        protectedFile.clear();
    }

private:
    bool setFlag(bool on) const {
        const int fd = ::open(file_.c_str(), O_RDONLY | O_NONBLOCK);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }
    fs::path file_;
};

struct Case {
    std::string label;
    // Makes what the case needs in the folder and gives the target to write.
    std::function<fs::path(const fs::path& folder)> prepare;
    mode_t umask = 022;
    // How the target (made by prepare) is marked immutable.
    Protection protection = Protection::none;
    // Empty: the write succeeds; else what the refusal at open says.
    std::string refusal;
    // The file that gets the content, relative to the folder, where it is not the target.
    fs::path written;
    mode_t mode = 0644;
    bool folderSyncFails = false;
};

fs::path withOld(const fs::path& path, mode_t mode) {
    std::ofstream(path) << "old content";
    ::chmod(path.c_str(), mode);
    return path;
}

TEST(FileTarget, EveryTargetIsWrittenAsItsOwnerExpectsOrRefusedBeforeAnyByteIsWritten) {
    using enum Protection;
    const auto newFile = [](const fs::path& f) { return f / "out.wav"; };
    // label, target, umask, protection, refusal, file written where not the target, its mode, folder sync fails
    const std::vector<Case> cases = {
        {"new file", newFile, 022, none, "", "", 0644, false},
        {"new file under umask 077", newFile, 077, none, "", "", 0600, false},
        {"private file replaced", [](const fs::path& f) { return withOld(f / "out.wav", 0600); }, 022, none, "", "",
         0600, false},
        {"group file replaced under umask 077", [](const fs::path& f) { return withOld(f / "out.wav", 0664); }, 077,
         none, "", "", 0664, false},
        {"write-only file replaced", [](const fs::path& f) { return withOld(f / "out.wav", 0200); }, 022, none, "",
         "", 0200, false},
        {"250-character name", [](const fs::path& f) { return f / (std::string(246, 'n') + ".wav"); }, 022, none, "",
         "", 0644, false},
        {"256-character name", [](const fs::path& f) { return f / (std::string(252, 'n') + ".wav"); }, 022, none,
         "File name too long", "", 0644, false},
        {"immutable file", [](const fs::path& f) { return withOld(f / "immutable.wav", 0644); }, 022,
         flagOrInjected, "Operation not permitted", "", 0644, false},
        {"immutable file (injected)", [](const fs::path& f) { return withOld(f / "immutable.wav", 0644); }, 022,
         injected, "Operation not permitted", "", 0644, false},
        {"hidden look-alike files beside it",
         [](const fs::path& f) {
             std::ofstream(f / ".notes.txt.partial-ABCDEF") << "the user's";
             std::ofstream(f / ".out.wav.korvel-partial-abcdef") << "the library's";
             return f / "out.wav";
         },
         022, none, "", "", 0644, false},
        {"link to a file in another folder",
         [](const fs::path& f) {
             fs::create_directory(f / "elsewhere");
             withOld(f / "elsewhere" / "real.wav", 0640);
             fs::create_symlink("elsewhere/real.wav", f / "link.wav");
             return f / "link.wav";
         },
         022, none, "", fs::path("elsewhere") / "real.wav", 0640, false},
        {"link to nothing",
         [](const fs::path& f) {
             fs::create_symlink("missing.wav", f / "link.wav");
             return f / "link.wav";
         },
         022, none, "symbolic link to a file that does not exist", "", 0644, false},
        {"FIFO",
         [](const fs::path& f) {
             ::mkfifo((f / "fifo.wav").c_str(), 0644);
             return f / "fifo.wav";
         },
         022, none, "is a FIFO, not a regular file", "", 0644, false},
        {"missing folder", [](const fs::path& f) { return f / "missing" / "out.wav"; }, 022, none, "does not exist",
         "", 0644, false},
        {"folder that cannot be flushed", newFile, 022, none, "", "", 0644, true},
    };
    for (const bool unnamed : {true, false}) {
        unnamedFilesRefused = !unnamed;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.label + (unnamed ? " (unnamed file)" : " (named temporary)"));
            testsupport::TestFolder folder;
            const fs::path target = c.prepare(folder.path());
            std::optional<Immutable> immutable;
            if (c.protection != Protection::none) immutable.emplace(target, c.protection);
            const std::vector<std::string> before = namesIn(folder.path());
            FileTargetSystem system{&injectedOpen, FileTargetSystem::real().syncFolder};
            if (c.folderSyncFails) system.syncFolder = &failingFolderSync;
            const mode_t previous = ::umask(c.umask);
            std::string error;
            std::optional<FileTarget> opened = FileTarget::open(target, error, system);
            ::umask(previous);
            if (!c.refusal.empty()) {
                EXPECT_FALSE(opened);
                EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
                EXPECT_EQ(namesIn(folder.path()), before);
                if (std::error_code ignored; fs::is_regular_file(target, ignored)) {
                    EXPECT_EQ(contentOf(target), "old content");
                }
                continue;
            }
            ASSERT_TRUE(opened) << error;
            struct stat during {};
            ASSERT_EQ(::fstat(opened->descriptor(), &during), 0);
            EXPECT_NE(during.st_mode & S_IRUSR, 0U) << "a cleaner can open the file to test its lock";
            ASSERT_TRUE(opened->write(std::vector<std::uint8_t>{'n', 'e', 'w'}, error)) << error;
            ASSERT_TRUE(opened->commit(error)) << error;
            EXPECT_EQ(opened->warning().empty(), !c.folderSyncFails) << opened->warning();
            const fs::path file = c.written.empty() ? target : folder.path() / c.written;
            EXPECT_EQ(contentOf(file), "new");
            EXPECT_EQ(modeOf(file), c.mode);
            EXPECT_EQ(fs::is_symlink(target), !c.written.empty()) << "a link stays a link";
            std::vector<std::string> expected = before;
            const std::string written = fs::relative(file, folder.path()).string();
            if (std::find(expected.begin(), expected.end(), written) == expected.end()) expected.push_back(written);
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(namesIn(folder.path()), expected) << "nothing else is left or removed";
        }
    }
    unnamedFilesRefused = false;
}

TEST(FileTarget, AReplacedFileOfAnotherUserStaysTheirsWhereTheWriterMayGiveItAway) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root gives a file to another user";
    constexpr uid_t kOwner = 4321;
    constexpr gid_t kGroup = 4322;
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed file" : "named temporary");
        unnamedFilesRefused = !unnamed;
        testsupport::TestFolder folder;
        const fs::path target = withOld(folder.path() / "out.wav", 0600);
        ASSERT_EQ(::chown(target.c_str(), kOwner, kGroup), 0);
        std::string error;
        std::optional<FileTarget> opened =
            FileTarget::open(target, error, FileTargetSystem{&injectedOpen, FileTargetSystem::real().syncFolder});
        ASSERT_TRUE(opened) << error;
        ASSERT_TRUE(opened->commit(error)) << error;
        struct stat info {};
        ASSERT_EQ(::stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, kOwner);
        EXPECT_EQ(info.st_gid, kGroup);
        EXPECT_EQ(info.st_mode & 07777, 0600U);
    }
    unnamedFilesRefused = false;
}

TEST(FileTarget, AWriterThatGivesUpLeavesTheOldFileAsItWas) {
    for (const bool unnamed : {true, false}) {
        unnamedFilesRefused = !unnamed;
        testsupport::TestFolder folder;
        const fs::path target = withOld(folder.path() / "out.wav", 0600);
        std::string error;
        {
            std::optional<FileTarget> opened =
                FileTarget::open(target, error, FileTargetSystem{&injectedOpen, FileTargetSystem::real().syncFolder});
            ASSERT_TRUE(opened) << error;
            ASSERT_TRUE(opened->write(std::vector<std::uint8_t>(1000, 'x'), error)) << error;
        }
        EXPECT_EQ(contentOf(target), "old content");
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"out.wav"});
    }
    unnamedFilesRefused = false;
}

}  // namespace
