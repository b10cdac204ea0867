// What the exports do with what stands in the target's place, with the umask and a replaced file's mode, with the
// temporary files of other writers, and beside the platform's preset saves in the same folder.
#include "platform/foundation/Files.h"
#include "sampler/src/formats/korvel_aiff_export.h"
#include "tests/sampler/formats/export_fixture.h"
#include "tests/sampler/support/korvel_log_capture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace korvel_export_test;

// Puts a socket file at path (bound under a short name first: a socket's path has little room).
void make_socket(const fs::path& path)
{
    const std::string short_name = "/tmp/korvel-socket-" + std::to_string(getpid());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", short_name.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << std::strerror(errno);
    ::close(fd);
    fs::rename(short_name, path);
}

TEST_F(ExportDurability, WhatStandsInTheTargetsPlaceDecides)
{
    const fs::path links = folder / "links";
    const fs::path real = folder / "real";
    const fs::path target = links / "target";
    struct Case {
        const char* place;
        std::function<void()> make;
        const char* written_to; // the file that gets the content, under real; null when the export is refused
        const char* logged;
    };
    const std::vector<Case> cases = {
        {"a link to a file in another folder",
         [&] {
             write_file(real / "file", "the old file");
             fs::create_symlink("../real/file", target);
         },
         "file", nullptr},
        {"a link to a link to a file not made yet",
         [&] {
             fs::create_symlink(real / "link", target);
             fs::create_symlink("new", real / "link");
         },
         "new", nullptr},
        {"a FIFO", [&] { ASSERT_EQ(::mkfifo(target.c_str(), 0644), 0); }, nullptr, "is a FIFO"},
        {"a socket", [&] { make_socket(target); }, nullptr, "is a socket"},
        {"a folder", [&] { fs::create_directory(target); }, nullptr, "is a folder"},
        {"a link to a device", [&] { fs::create_symlink("/dev/null", target); }, nullptr, "is a device"},
        {"a loop of links",
         [&] {
             fs::create_symlink("../real/loop", target);
             fs::create_symlink("../links/target", real / "loop");
         },
         nullptr, "symbolic links"},
        {"a link into a missing folder", [&] { fs::create_symlink("../real/none/file", target); }, nullptr,
         "No such file"},
    };
    for (const Writer& writer : writers()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(writer.name) + " to " + c.place);
            fs::remove_all(links);
            fs::remove_all(real);
            fs::create_directories(links);
            fs::create_directories(real);
            c.make();
            const mode_t before = mode_of(target);
            korvel_test::LogCapture log;
            const int result = writer.write(target);
            EXPECT_EQ(mode_of(target), before) << "the target's own entry stays what it was";
            if (c.written_to != nullptr) {
                EXPECT_EQ(result, 0);
                EXPECT_TRUE(writer.whole(real / c.written_to));
                EXPECT_TRUE(log.texts(KORVEL_ERR).empty());
            } else {
                EXPECT_NE(result, 0);
                ASSERT_EQ(log.texts(KORVEL_ERR).size(), 1u);
                EXPECT_NE(log.texts(KORVEL_ERR)[0].find(c.logged), std::string::npos) << log.texts(KORVEL_ERR)[0];
            }
            EXPECT_TRUE(temporaries(links).empty());
            EXPECT_TRUE(temporaries(real).empty());
        }
    }
    EXPECT_TRUE(S_ISCHR(mode_of("/dev/null")));
}

TEST_F(ExportDurability, ANewFileFollowsTheUmaskAndAReplacedFileKeepsItsModeAndOwner)
{
    const bool privileged = geteuid() == 0;
    struct Case {
        const char* what;
        mode_t umask;
        std::optional<mode_t> existing; // the mode of a file already at the target
        bool given_away;                // the existing file belongs to another user (needs a privileged writer)
        mode_t expected;
    };
    const std::vector<Case> cases = {
        {"new, umask 077", 077, std::nullopt, false, 0600},
        {"new, umask 022", 022, std::nullopt, false, 0644},
        {"new, umask 027", 027, std::nullopt, false, 0640},
        {"existing 0640, umask 022", 022, 0640, false, 0640},
        {"existing 0604, umask 077", 077, 0604, false, 0604},
        {"existing 0664 of another user", 077, 0664, true, 0664},
    };
    const fs::path target = folder / "moded";
    for (const Case& c : cases) {
        if (c.given_away && !privileged) {
            continue;
        }
        for (const Writer& writer : writers()) {
            SCOPED_TRACE(std::string(c.what) + ", " + writer.name);
            fs::remove(target);
            if (c.existing) {
                write_file(target, "the old file");
                ::chmod(target.c_str(), *c.existing);
                if (c.given_away) {
                    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
                }
            }
            Umask mask(c.umask);
            ASSERT_EQ(writer.write(target), 0);
            struct stat info {};
            ASSERT_EQ(::stat(target.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, c.expected);
            EXPECT_EQ(info.st_uid, c.given_away ? 65534u : geteuid());
            EXPECT_EQ(info.st_gid, c.given_away ? 65534u : getegid());
        }
        if (!c.existing) {
            SCOPED_TRACE(std::string(c.what) + ", sample export");
            fs::remove_all(folder / "out" / "S");
            fs::create_directories(folder / "out" / "S");
            Umask mask(c.umask);
            ASSERT_EQ(export_one_sample(), 0);
            ASSERT_EQ(exported().size(), 1u);
            EXPECT_EQ(mode_of(exported()[0]) & 07777, c.expected);
        }
    }
}

// Runs body in a child process, as the unprivileged user 65534 when asked and this process is privileged; the
// child's exit code, or the signal that ended it as a negative number.
int in_child(bool unprivileged, const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0) {
        if (unprivileged && geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            _exit(100);
        }
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// The replaced file's mode and owner must not hinder the write itself nor the removal of a killed writer's
// temporary file: a read-only mode, mode 0, a file of another user (which only a privileged writer can keep).
TEST_F(ExportDurability, AReplacedFilesModeAndOwnerNeitherStopTheWriteNorStrandAKilledWritersTemporary)
{
    const bool privileged = geteuid() == 0;
    const fs::path shared = folder / "shared";
    fs::create_directories(shared);
    fs::permissions(shared, fs::perms::all);
    if (in_child(true, [&] { return ::access(shared.c_str(), W_OK | X_OK); }) != 0) {
        GTEST_SKIP() << "the user 65534 cannot reach " << shared;
    }
    const fs::path target = shared / "target";
    struct Case {
        const char* what;
        mode_t mode;
        bool given_away; // else the writer is an unprivileged user who owns the file
    };
    const std::vector<Case> cases = {
        {"a read-only file", 0444, false},
        {"a file of mode 0", 0, false},
        {"another user's file", 0640, true},
    };
    const uid_t writer_uid = privileged ? 65534 : geteuid();
    for (const Writer& writer : writers()) {
        for (const Case& c : cases) {
            if (c.given_away && !privileged) {
                continue;
            }
            SCOPED_TRACE(std::string(writer.name) + " over " + c.what);
            fs::remove(target);
            write_file(target, "the old file");
            if (privileged) {
                ASSERT_EQ(::chown(target.c_str(), writer_uid, writer_uid), 0);
            }
            ::chmod(target.c_str(), c.mode);
            const bool unprivileged = !c.given_away;

            // Killed once the file is written, and again once it also has the replaced file's mode. A file given
            // away to its owner's user by then is that user's to remove, not this writer's.
            std::vector<step> kill_steps = {step::synced};
            if (!c.given_away) {
                kill_steps.push_back(step::mode_kept);
            }
            for (const step killed_at : kill_steps) {
                SCOPED_TRACE(killed_at == step::synced ? "killed when written" : "killed with the mode kept");
                EXPECT_EQ(in_child(unprivileged,
                                   [&] {
                                       StepHook hook([killed_at](step at) {
                                           return at == killed_at ? ::raise(SIGKILL) : 0;
                                       });
                                       return writer.write(target);
                                   }),
                          -SIGKILL);
                EXPECT_EQ(temporaries(shared).size(), 1u);

                EXPECT_EQ(in_child(unprivileged, [&] { return writer.write(target) == 0 ? 0 : 1; }), 0);
                EXPECT_TRUE(temporaries(shared).empty()) << "the killed writer's temporary file is removed";
            }
            struct stat info {};
            ASSERT_EQ(::stat(target.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, c.mode);
            EXPECT_EQ(info.st_uid, writer_uid);
            ::chmod(target.c_str(), 0600);
            EXPECT_TRUE(writer.whole(target));
        }
    }
}

// An empty path names no file: refused before a temporary file is made in the working folder, where it would have
// a name no cleaner takes for one of this library's.
TEST_F(ExportDurability, AnEmptyTargetIsRefusedBeforeAnythingIsMade)
{
    const fs::path working = folder / "working";
    fs::create_directories(working);
    for (const Writer& writer : writers()) {
        SCOPED_TRACE(writer.name);
        EXPECT_EQ(in_child(false,
                           [&] {
                               StepHook hook([](step at) { return at == step::locked ? ::raise(SIGKILL) : 0; });
                               return ::chdir(working.c_str()) == 0 && writer.write("") != 0 ? 0 : 1;
                           }),
                  0);
        EXPECT_TRUE(fs::is_empty(working));
    }
}

TEST_F(ExportDurability, OnlyStaleTemporariesOfThisLibraryAreRemoved)
{
    const fs::path s = folder / "out" / "S";
    const bool privileged = geteuid() == 0;
    int held = -1; // a live writer's lock
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;
        bool removed;
    };
    const auto make_mode_0_empty_file = [](const fs::path& p) {
        write_file(p, "");
        fs::permissions(p, fs::perms::none);
    };
    const std::vector<Case> cases = {
        {".dead.aif.korvel-partial-aB3xY9", [](const fs::path& p) { write_file(p, "partial"); }, true},
        {".live.aif.korvel-partial-aB3xY9",
         [&](const fs::path& p) {
             write_file(p, "partial");
             held = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
             ASSERT_EQ(::flock(held, LOCK_EX), 0);
         },
         false},
        {".preset.plist.tunedeck-partial-aB3xY9", [](const fs::path& p) { write_file(p, "platform"); }, false},
        {".preset.plist.partial-aB3xY9", [](const fs::path& p) { write_file(p, "platform"); }, false},
        {"shown.aif.korvel-partial-aB3xY9", [](const fs::path& p) { write_file(p, "no dot"); }, false},
        {".short.aif.korvel-partial-aB3xY", [](const fs::path& p) { write_file(p, "five"); }, false},
        {".folder.korvel-partial-aB3xY9", [](const fs::path& p) { fs::create_directory(p); }, false},
        {".link.korvel-partial-aB3xY9",
         [&](const fs::path& p) {
             write_file(s / "linked", "kept");
             fs::create_symlink("linked", p);
         },
         false},
        {".other.aif.korvel-partial-aB3xY9",
         [&](const fs::path& p) {
             write_file(p, "another user's");
             if (privileged) {
                 ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0);
             }
         },
         !privileged},
        // Empty files of mode 0: a claim of this library only when a dead writer's announcement names it.
        {"7.aif", make_mode_0_empty_file, false},
        {"8.aif", make_mode_0_empty_file, true},
        {".8.aif.claim.korvel-partial-Qw1Er2", [](const fs::path& p) { write_file(p, "announcement"); }, true},
        {"9.aif", [](const fs::path& p) { write_file(p, ""); }, false},
        {".9.aif.claim.korvel-partial-Qw1Er2", [](const fs::path& p) { write_file(p, "announcement"); }, true},
    };
    for (const Case& c : cases) {
        c.make(s / c.name);
    }
    EXPECT_EQ(export_one_sample(), 0);
    for (const Case& c : cases) {
        EXPECT_EQ(fs::exists(fs::symlink_status(s / c.name)), !c.removed) << c.name;
    }
    EXPECT_EQ(read_file(s / "linked"), "kept");
    ::close(held);
}

TEST_F(ExportDurability, ATargetWithTheLongestNameStillGetsItsTemporaryFileBesideIt)
{
    std::string two_byte_letters;
    for (int i = 0; i < 127; i++) {
        two_byte_letters += "\xc3\xa9";
    }
    for (const std::string& name : {std::string(255, 'n'), "x" + two_byte_letters, two_byte_letters}) {
        SCOPED_TRACE(name.size());
        for (const Writer& writer : writers()) {
            SCOPED_TRACE(writer.name);
            EXPECT_EQ(writer.write(folder / name), 0);
            EXPECT_TRUE(writer.whole(folder / name));
            EXPECT_TRUE(temporaries(folder).empty());
        }
    }
}

// The platform's preset saves, which clean their own temporary files before each save, in the folders the exports
// write to.
TEST_F(ExportDurability, ExportsBesideThePlatformsPresetSavesNeverFail)
{
    const fs::path s = folder / "out" / "S";
    const std::vector<std::uint8_t> preset = {'<', 'p', '/', '>'};
    const auto save_presets = [&] {
        std::string error;
        bool saved = true;
        for (const fs::path& where : {folder, s}) {
            foundation::removeStaleTemporaryFiles(where);
            saved = foundation::writeFileAtomically(where / "preset.plist", preset, error) && saved;
        }
        return saved;
    };
    {
        // At each step of every export, a preset save and another export of this library in the same folders.
        bool inner = false;
        StepHook hook([&](step) {
            if (!inner) {
                inner = true;
                EXPECT_TRUE(save_presets());
                EXPECT_EQ(writers()[1].write(folder / "other.aif"), 0);
                EXPECT_EQ(korvel_sample_export_sfont(sample(0)), 0); // its lines join the outer export's
                inner = false;
            }
            return 0;
        });
        for (const Writer& writer : writers()) {
            SCOPED_TRACE(writer.name);
            EXPECT_EQ(writer.write(folder / "target"), 0);
            EXPECT_TRUE(writer.whole(folder / "target"));
        }
        EXPECT_EQ(export_one_sample(), 0);
    }
    std::atomic<bool> stop{false};
    std::atomic<int> failed_saves{0};
    std::thread saver([&] {
        while (!stop.load()) {
            failed_saves += save_presets() ? 0 : 1;
        }
    });
    int failed_exports = 0;
    for (int round = 0; round < 100; round++) {
        for (const Writer& writer : writers()) {
            failed_exports += writer.write(folder / "target") == 0 ? 0 : 1;
        }
        failed_exports += export_one_sample() == 0 ? 0 : 1;
    }
    stop = true;
    saver.join();
    EXPECT_EQ(failed_exports, 0);
    EXPECT_EQ(failed_saves.load(), 0);
    const std::vector<fs::path> files = exported();
    EXPECT_GT(std::count_if(files.begin(), files.end(), [](const fs::path& f) { return f.extension() == ".aif"; }), 101);
    EXPECT_TRUE(temporaries(folder).empty());
    EXPECT_TRUE(temporaries(s).empty());
}

} // namespace
