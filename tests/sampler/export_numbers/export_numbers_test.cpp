// Exported sample files are numbered by a process-wide counter that starts once per process.
#include "sampler/src/formats/korvel_aiff_export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

TEST(ExportNumbers, FirstFilesOfAProcessAreNumberedFromTheStart)
{
    const char* root = std::getenv("TUNEDECK_TEST_TMP");
    const std::filesystem::path folder = std::filesystem::path(root != nullptr ? root : "/tmp") /
                                         ("export_numbers." + std::to_string(getpid()));
    std::filesystem::create_directories(folder / "S");
    ASSERT_EQ(korvel_aiff_export_set_folder(folder.c_str()), 0);

    short points[16] = {0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1100, 1200, 1300, 1400, 1500};
    korvel_sample_t* sample = new_korvel_sample();
    sample->data = points; // the bank's points: the sample does not own them
    sample->data_points = 16;
    sample->pend = 15;
    sample->rate = 44100;
    ::testing::internal::CaptureStdout();
    korvel_sample_export_sfont(sample);
    korvel_sample_export_sfont(sample);
    const std::string out = ::testing::internal::GetCapturedStdout();
    delete_korvel_sample(sample);

    EXPECT_TRUE(std::filesystem::exists(folder / "S" / "268435456.aif"));
    EXPECT_TRUE(std::filesystem::exists(folder / "S" / "268435457.aif"));
    EXPECT_NE(out.find(folder.string() + "/268435457\n"), std::string::npos) << out;
    // The last point of a sample of the bank's data is exported too.
    EXPECT_EQ(std::filesystem::file_size(folder / "S" / "268435456.aif"), 8u + 4 + 26 + 16 + 2 * 16);

    const std::string long_folder(2000, 'x');
    EXPECT_EQ(korvel_aiff_export_set_folder(long_folder.c_str()), -1);
}

} // namespace
