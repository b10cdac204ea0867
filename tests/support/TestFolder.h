#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// A fresh, empty folder under the test scratch folder (TUNEDECK_TEST_TMP, else the system's temporary folder),
// named after the running test; removed again when the object goes.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Runs command through the shell and returns what it wrote to standard output; exitCode receives its exit status.
std::string runCommand(const std::string& command, int& exitCode);

}  // namespace testsupport
