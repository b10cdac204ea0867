// The XML bank export and the AIFF sample export against killed writers, a full disk, folders that cannot take a
// file, what stands in the target's place, file systems without hard links and other writers in the same folder: an
// old file stays whole every time, a failed export says so, and a successful one says so too.
#include "platform/foundation/Files.h"
#include "sampler/src/formats/korvel_aiff.h"
#include "sampler/src/formats/korvel_aiff_export.h"
#include "sampler/src/formats/korvel_atomic_file.h"
#include "sampler/src/formats/korvel_xml_writer.h"
#include "sampler/src/korvelsynth.h"
#include "tests/sampler/support/aiff_frames.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using korvel_atomic::step;

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Runs body in a child process whose files may grow to at most file_limit bytes (a disk that is full past them);
// the child's exit code, or -1 when it did not exit normally.
int run_with_file_limit(rlim_t file_limit, const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
        const rlimit limit{file_limit, file_limit};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::freopen("/dev/null", "w", stdout);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts body in a child that loops until killed, kills it after a varying delay, and calls check after each of
// the trials.
void kill_during(int trials, const std::function<void()>& body, const std::function<void(int)>& check)
{
    std::mt19937 random(33);
    std::uniform_int_distribution<int> delay_us(0, 20000);
    for (int trial = 0; trial < trials; trial++) {
        const pid_t child = fork();
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            while (true) {
                body();
            }
        }
        usleep(static_cast<useconds_t>(delay_us(random)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        check(trial);
    }
}

// What the library's step hook does during one test.
std::function<int(step)> step_action;

int run_step_action(step at)
{
    return step_action ? step_action(at) : 0;
}

class StepHook {
public:
    explicit StepHook(std::function<int(step)> action)
    {
        step_action = std::move(action);
        korvel_atomic::set_step_hook(run_step_action);
    }
    ~StepHook()
    {
        korvel_atomic::set_step_hook(nullptr);
        step_action = nullptr;
    }
    StepHook(const StepHook&) = delete;
    StepHook& operator=(const StepHook&) = delete;
};

// The ways of taking a new name without replacing that a file system refuses, with the errors it gives.
struct Refusals {
    int rename_noreplace = 0;
    int link = 0;
};

int refused(const Refusals& refusals, step at)
{
    return at == step::rename_noreplace ? refusals.rename_noreplace : at == step::link ? refusals.link : 0;
}

const std::vector<std::pair<const char*, Refusals>> file_systems = {
    {"a rename that never replaces", {}},
    {"no such rename: a hard link", {EINVAL, 0}},
    {"neither: an announced claim", {EINVAL, EPERM}},
    {"neither, other errors: an announced claim", {ENOSYS, EOPNOTSUPP}},
};

// The library's temporary files in folder (their writer dead or alive).
std::vector<fs::path> temporaries(const fs::path& folder)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().find(".korvel-partial-") != std::string::npos) {
            found.push_back(entry.path());
        }
    }
    return found;
}

mode_t mode_of(const fs::path& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

// Sets the process's umask for a scope.
class Umask {
public:
    explicit Umask(mode_t mask) : previous_(::umask(mask)) {}
    ~Umask() { ::umask(previous_); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t previous_;
};

unsigned int next_instance_id()
{
    static unsigned int id = 7400;
    return ++id;
}

// An instance with the general bank, a scratch folder and an export folder with its "S" subfolder.
class ExportDurability : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = sf2::scratch_path("");
        fs::create_directories(folder / "out" / "S");
        const std::string bank_path = (folder / "bank.sf2").string();
        ASSERT_TRUE(sf2::general_bank().write(bank_path));
        id = next_instance_id();
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        ASSERT_EQ(KorvelInitialize(folder.c_str(), bank_path.c_str(), id), 0);
        ::testing::internal::GetCapturedStderr();
        ::testing::internal::GetCapturedStdout();
        korvel_sfont_t* sfont = korvel_synth_get_sfont(KorvelGetSynth(id), 0);
        bank = static_cast<korvel_defsfont_t*>(sfont->data);
        ASSERT_EQ(korvel_aiff_export_set_folder((folder / "out").c_str()), 0);
    }

    void TearDown() override
    {
        ::testing::internal::CaptureStdout();
        KorvelFinalize(id);
        ::testing::internal::GetCapturedStdout();
    }

    int export_xml(const fs::path& path)
    {
        ::testing::internal::CaptureStdout();
        const int result = KorvelExportXML(id, path.c_str());
        ::testing::internal::GetCapturedStdout();
        return result;
    }

    int export_samples()
    {
        ::testing::internal::CaptureStdout();
        const int result = KorvelExportSamples(id);
        ::testing::internal::GetCapturedStdout();
        return result;
    }

    int export_one_sample()
    {
        ::testing::internal::CaptureStdout();
        const int result = korvel_sample_export_sfont(sample(0));
        ::testing::internal::GetCapturedStdout();
        return result;
    }

    // The two exports to a path the caller names, each with the test that its file is whole.
    struct Writer {
        const char* name;
        std::function<int(const fs::path&)> write;
        std::function<bool(const fs::path&)> whole;
    };
    std::vector<Writer> writers()
    {
        return {
            {"XML export", [this](const fs::path& path) { return export_xml(path); },
             [](const fs::path& path) { return read_file(path).find("</soundbank>") != std::string::npos; }},
            {"AIFF conversion",
             [](const fs::path& path) {
                 const std::vector<int16_t> points(64, 1000);
                 return convert2Aiff(path.c_str(), points.data(), 64, 1, 16, 8, 40, 44100.0f);
             },
             [](const fs::path& path) { return korvel_test::whole_aiff_frames(path.string()) == 64; }},
        };
    }

    // The exported AIFF files of the S folder (hidden temporary files left by a killed writer are not among them).
    std::vector<fs::path> exported() const
    {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(folder / "out" / "S")) {
            if (entry.path().filename().string()[0] != '.') {
                files.push_back(entry.path());
            }
        }
        return files;
    }

    korvel_sample_t* sample(int n) const
    {
        korvel_list_t* cell = bank->sample;
        for (int i = 0; i < n; i++) {
            cell = cell->next;
        }
        return static_cast<korvel_sample_t*>(cell->data);
    }

    fs::path folder;
    unsigned int id = 0;
    korvel_defsfont_t* bank = nullptr;
};

// True when the file is a finished AIFF file with some frames.
bool whole_aiff(const fs::path& path)
{
    return korvel_test::whole_aiff_frames(path.string()) > 0;
}

TEST_F(ExportDurability, AKilledXmlExportLeavesTheOldFileOrTheNewOneWhole)
{
    const fs::path target = folder / "bank.xml";
    ASSERT_EQ(export_xml(target), 0);
    const std::string old_document = read_file(target);
    korvel_defpreset_set_name(bank->preset, "Renamed");
    const fs::path fresh = folder / "fresh.xml";
    ASSERT_EQ(export_xml(fresh), 0);
    const std::string new_document = read_file(fresh);
    ASSERT_NE(old_document, new_document);

    kill_during(
        40, [&] { KorvelExportXML(id, target.c_str()); },
        [&](int trial) {
            const std::string now = read_file(target);
            EXPECT_TRUE(now == old_document || now == new_document) << "trial " << trial << ": " << now.size();
        });
}

TEST_F(ExportDurability, AKilledSampleExportLeavesEveryFileWhole)
{
    // A long sample, so that a kill often falls into the write.
    korvel_sample_t* long_sample = sample(0);
    long_sample->pend = long_sample->data_points - 1;
    long_sample->pstart = 0;
    long_sample->lstart = 0;
    long_sample->lend = 0;
    const fs::path earlier = folder / "out" / "S" / (std::to_string(KORVEL_AIFF_FIRST_NUMBER) + ".aif");
    write_file(earlier, "a file of an earlier run");

    kill_during(
        30, [&] { korvel_sample_export_sfont(long_sample); },
        [&](int trial) {
            EXPECT_EQ(read_file(earlier), "a file of an earlier run") << "trial " << trial;
            for (const fs::path& file : exported()) {
                if (file != earlier) {
                    EXPECT_TRUE(whole_aiff(file)) << "trial " << trial << ": " << file;
                }
            }
        });
}

TEST_F(ExportDurability, AFullDiskFailsTheExportAndKeepsTheOldFile)
{
    const fs::path target = folder / "bank.xml";
    ASSERT_EQ(export_xml(target), 0);
    const std::string old_document = read_file(target);
    korvel_defpreset_set_name(bank->preset, "Renamed");

    const int xml = run_with_file_limit(old_document.size() / 2, [&] {
        korvel_test::LogCapture log;
        const int result = KorvelExportXML(id, target.c_str());
        return result == -1 && log.texts(KORVEL_ERR).size() == 1 ? 0 : 1;
    });
    EXPECT_EQ(xml, 0) << "the export reports the failure with one error line";
    EXPECT_EQ(read_file(target), old_document);

    const int aiff = run_with_file_limit(64, [&] { return KorvelExportSamples(id) == -1 ? 0 : 1; });
    EXPECT_EQ(aiff, 0);
    EXPECT_TRUE(exported().empty()) << "no file appears cut short";
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        EXPECT_EQ(entry.path().filename().string().find(".partial-"), std::string::npos) << entry.path();
    }
}

TEST_F(ExportDurability, AnExportThatCannotMakeItsFileSaysSo)
{
    struct Case {
        const char* obstacle;
        std::function<void()> make;
    };
    const std::vector<Case> cases = {
        {"no S folder", [&] { fs::remove_all(folder / "out" / "S"); }},
        {"a file where the S folder belongs",
         [&] {
             fs::remove_all(folder / "out" / "S");
             write_file(folder / "out" / "S", "not a folder");
         }},
        {"no export folder", [&] { fs::remove_all(folder / "out"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.obstacle);
        fs::create_directories(folder / "out" / "S");
        c.make();
        korvel_test::LogCapture log;
        EXPECT_EQ(export_samples(), -1);
        EXPECT_FALSE(log.texts(KORVEL_ERR).empty());
        fs::remove_all(folder / "out");
    }
    korvel_test::LogCapture log;
    EXPECT_EQ(export_xml(folder / "missing" / "bank.xml"), 1);
    EXPECT_EQ(log.texts(KORVEL_ERR).size(), 1u);
    const std::vector<int16_t> points(16, 100);
    EXPECT_EQ(convert2Aiff((folder / "missing" / "one.aif").c_str(), points.data(), 16, 1, 16, -1, 0, 44100.0f), -1);
}

TEST_F(ExportDurability, AnExportTakesTheNextNumberWhoseFileDoesNotExist)
{
    const fs::path s = folder / "out" / "S";
    for (const auto& [file_system, refusals] : file_systems) {
        SCOPED_TRACE(file_system);
        StepHook hook([refusals = refusals](step at) { return refused(refusals, at); });
        // The counter only grows: one export shows where it stands.
        fs::remove_all(s);
        fs::create_directories(s);
        ASSERT_EQ(export_one_sample(), 0);
        ASSERT_EQ(exported().size(), 1u);
        const long long next = std::stoll(exported()[0].stem().string()) + 1;
        fs::remove_all(s);
        fs::create_directories(s);
        const auto numbered = [&](long long n) { return s / (std::to_string(n) + ".aif"); };
        // Files of an earlier run, and a folder in the way of the next number.
        write_file(numbered(next), "earlier");
        write_file(numbered(next + 1), "earlier");
        fs::create_directory(numbered(next + 2));
        EXPECT_EQ(export_one_sample(), 0);
        EXPECT_EQ(export_one_sample(), 0);
        EXPECT_EQ(read_file(numbered(next)), "earlier");
        EXPECT_EQ(read_file(numbered(next + 1)), "earlier");
        EXPECT_TRUE(fs::is_directory(numbered(next + 2)));
        EXPECT_TRUE(whole_aiff(numbered(next + 3)));
        EXPECT_TRUE(whole_aiff(numbered(next + 4)));
        EXPECT_EQ(exported().size(), 5u);
        EXPECT_TRUE(temporaries(s).empty()) << "no temporary file and no announcement stays";
    }
}

TEST_F(ExportDurability, AFolderFlushFailureAfterTheRenameIsASuccessWithAWarning)
{
    StepHook hook([](step at) { return at == step::folder_sync ? EIO : 0; });
    for (const Writer& writer : writers()) {
        SCOPED_TRACE(writer.name);
        const fs::path target = folder / "replaced";
        write_file(target, "the old file");
        korvel_test::LogCapture log;
        EXPECT_EQ(writer.write(target), 0);
        EXPECT_TRUE(writer.whole(target));
        EXPECT_TRUE(log.texts(KORVEL_ERR).empty());
        ASSERT_EQ(log.texts(KORVEL_WARN).size(), 1u);
        EXPECT_NE(log.texts(KORVEL_WARN)[0].find("could not be flushed"), std::string::npos);
    }
    korvel_test::LogCapture log;
    EXPECT_EQ(export_one_sample(), 0);
    ASSERT_EQ(exported().size(), 1u);
    EXPECT_TRUE(whole_aiff(exported()[0]));
    EXPECT_TRUE(log.texts(KORVEL_ERR).empty());
    EXPECT_EQ(log.texts(KORVEL_WARN).size(), 1u);
}

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

TEST_F(ExportDurability, AKilledExportLeavesNoEmptyNameAndTheNextExportRemovesItsTemporary)
{
    const fs::path s = folder / "out" / "S";
    const fs::path xml = folder / "bank.xml";
    struct Case {
        const char* what;
        bool sample_export; // else the XML export
        Refusals refusals;
        step kill_at;
        bool claim_seen; // an announced empty claim is there until the next export
    };
    const std::vector<Case> cases = {
        {"sample export, temporary locked", true, {}, step::locked, false},
        {"sample export, temporary on the disk", true, {}, step::synced, false},
        {"sample export without the rename, at the link", true, {EINVAL, 0}, step::link, false},
        {"sample export without hard links, temporary on the disk", true, {EINVAL, EPERM}, step::synced, false},
        {"sample export without hard links, name claimed", true, {EINVAL, EPERM}, step::claimed, true},
        {"XML export, temporary locked", false, {}, step::locked, false},
        {"XML export, temporary on the disk", false, {}, step::synced, false},
    };
    const auto empty_names = [&] {
        std::vector<fs::path> empty;
        for (const fs::path& file : exported()) {
            if (fs::is_regular_file(file) && fs::file_size(file) == 0) {
                empty.push_back(file);
            }
        }
        return empty;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(s);
        fs::create_directories(s);
        write_file(xml, "the old file");
        const fs::path where = c.sample_export ? s : folder;
        const auto run = [&] { return c.sample_export ? export_one_sample() : export_xml(xml); };

        const pid_t child = fork();
        if (child == 0) {
            StepHook hook([&](step at) {
                if (at == c.kill_at) {
                    ::raise(SIGKILL);
                }
                return refused(c.refusals, at);
            });
            run();
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the writer died at its step";
        EXPECT_EQ(temporaries(where).size(), 1u);
        const std::vector<fs::path> claims = empty_names();
        if (c.claim_seen) {
            ASSERT_EQ(claims.size(), 1u);
            EXPECT_EQ(mode_of(claims[0]) & 07777, 0u);
        } else {
            EXPECT_TRUE(claims.empty());
        }
        EXPECT_EQ(read_file(xml), "the old file");

        StepHook hook([&](step at) { return refused(c.refusals, at); });
        EXPECT_EQ(run(), 0);
        EXPECT_TRUE(temporaries(where).empty()) << "the dead writer's temporary file is gone";
        EXPECT_TRUE(empty_names().empty()) << "and so is its claim";
        for (const fs::path& file : exported()) {
            EXPECT_TRUE(whole_aiff(file)) << file;
        }
        EXPECT_EQ(exported().size(), c.sample_export ? 1u : 0u);
        EXPECT_EQ(read_file(xml).find("</soundbank>") != std::string::npos, !c.sample_export);
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

TEST_F(ExportDurability, ATargetNamedLikeAClaimNeverMakesItsNeighbourOneToRemove)
{
    const fs::path target = folder / "keep.claim";
    const fs::path neighbour = folder / "keep";
    write_file(neighbour, "");
    fs::permissions(neighbour, fs::perms::none);
    const pid_t child = fork();
    if (child == 0) {
        StepHook hook([](step at) { return at == step::synced ? ::raise(SIGKILL) : 0; });
        export_xml(target);
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    ASSERT_EQ(temporaries(folder).size(), 1u);
    EXPECT_EQ(export_xml(target), 0);
    EXPECT_TRUE(temporaries(folder).empty());
    EXPECT_TRUE(fs::exists(neighbour)) << "an empty file of mode 0 that no claim announced stays";
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
