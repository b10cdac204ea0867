// The XML bank export and the AIFF sample export against killed writers, a full disk, folders that cannot take a
// file and file systems without hard links: an old file stays whole every time, a failed export says so, and one
// whose new file is in place is a success.
#include "sampler/src/formats/korvel_aiff.h"
#include "sampler/src/formats/korvel_aiff_export.h"
#include "sampler/src/formats/korvel_xml_writer.h"
#include "sampler/src/korvelsynth.h"
#include "tests/sampler/formats/export_fixture.h"
#include "tests/sampler/support/korvel_log_capture.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace korvel_export_test;

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

// A writer that died after announcing a name, and a live writer that has claimed the same name: the live claim is
// not taken for the dead writer's, or another process could take the free name and lose its file to the live
// writer's rename.
TEST_F(ExportDurability, ALiveClaimIsNotTakenForADeadWritersClaimOfTheSameName)
{
    const fs::path s = folder / "out" / "S";
    const Refusals neither{EINVAL, EPERM};
    bool done = false; // once, for the first claim only
    bool claim_kept = false;
    StepHook hook([&](step at) {
        if (at == step::claimed && !done) {
            done = true;
            const std::vector<fs::path> claims = exported();
            EXPECT_EQ(claims.size(), 1u);
            const fs::path claim = claims.empty() ? s / "none" : claims[0];
            write_file(s / ("." + claim.filename().string() + ".claim.korvel-partial-Dead01"), "a dead writer's");
            EXPECT_EQ(korvel_sample_export_sfont(sample(0)), 0); // cleans the folder beside the live claim
            claim_kept = fs::exists(claim) && fs::file_size(claim) == 0;
        }
        return refused(neither, at);
    });
    EXPECT_EQ(export_one_sample(), 0);
    EXPECT_TRUE(claim_kept) << "the live writer's claim stays until its file replaces it";
    EXPECT_EQ(export_one_sample(), 0);
    EXPECT_TRUE(temporaries(s).empty()) << "the dead writer's announcement goes once no live writer shares its name";
    const std::vector<fs::path> files = exported();
    EXPECT_EQ(files.size(), 3u);
    for (const fs::path& file : files) {
        EXPECT_TRUE(whole_aiff(file)) << file;
    }
}

} // namespace
