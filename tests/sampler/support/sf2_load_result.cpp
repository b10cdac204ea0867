#include "tests/sampler/support/sf2_load_result.h"

#include "sampler/src/bank/korvel_sf2_import.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace sf2 {

LoadResult::LoadResult(const std::vector<uint8_t>& bytes, const std::string& file_name)
{
    std::string path = scratch_path(file_name);
    {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    korvel_test::LogCapture capture;
    bank = new_korvel_defsfont();
    ::testing::internal::CaptureStdout();
    result = korvel_defsfont_load(bank, path.c_str());
    out = ::testing::internal::GetCapturedStdout();
    for (const korvel_test::LogLine& line : capture.lines()) {
        logs.push_back(line.text);
    }
}

LoadResult::~LoadResult()
{
    delete_korvel_defsfont(bank);
}

bool LoadResult::said(const std::string& text) const
{
    if (out.find(text + "\n") != std::string::npos) {
        return true;
    }
    for (const std::string& line : logs) {
        if (line == text) {
            return true;
        }
    }
    return false;
}

std::string LoadResult::transcript() const
{
    std::string all = out;
    for (const std::string& line : logs) {
        all += "log: " + line + "\n";
    }
    return all;
}

} // namespace sf2
