// The XML bank export and the AIFF sample export against killed writers, a full disk and folders that cannot take a
// file: an old file stays whole every time, and a failed export says so.
#include "sampler/src/formats/korvel_aiff.h"
#include "sampler/src/formats/korvel_aiff_export.h"
#include "sampler/src/formats/korvel_xml_writer.h"
#include "sampler/src/korvelsynth.h"
#include "tests/sampler/support/aiff_frames.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

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
    // Files of an earlier run, and a folder in the way of the next number.
    write_file(s / "268435456.aif", "earlier");
    write_file(s / "268435457.aif", "earlier");
    fs::create_directory(s / "268435458.aif");
    korvel_sample_t* first = sample(0);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvel_sample_export_sfont(first), 0);
    EXPECT_EQ(korvel_sample_export_sfont(first), 0);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(read_file(s / "268435456.aif"), "earlier");
    EXPECT_EQ(read_file(s / "268435457.aif"), "earlier");
    EXPECT_TRUE(fs::is_directory(s / "268435458.aif"));
    std::vector<fs::path> made;
    for (const fs::path& file : exported()) {
        if (std::stoll(file.stem().string()) > 268435458) {
            EXPECT_TRUE(whole_aiff(file)) << file;
            made.push_back(file);
        }
    }
    EXPECT_EQ(made.size(), 2u);
    EXPECT_EQ(exported().size(), 5u);
}

} // namespace
