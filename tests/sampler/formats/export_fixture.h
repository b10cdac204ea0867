// The fixture of the export tests: an instance with the general bank, a scratch folder and an export folder with its
// "S" subfolder, the exports it runs, and the library's step hook and the system's umask set for one scope.
#pragma once

#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/formats/korvel_atomic_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace korvel_export_test {

namespace fs = std::filesystem;
using korvel_atomic::step;

std::string read_file(const fs::path& path);
void write_file(const fs::path& path, const std::string& text);
// True when the file is a finished AIFF file with some frames.
bool whole_aiff(const fs::path& path);
// The library's temporary files in folder (their writer dead or alive).
std::vector<fs::path> temporaries(const fs::path& folder);
// The type and mode of path itself (a link is not followed); 0 when there is nothing.
mode_t mode_of(const fs::path& path);

// Makes the library's step hook run action for a scope.
class StepHook {
public:
    explicit StepHook(std::function<int(step)> action);
    ~StepHook();
    StepHook(const StepHook&) = delete;
    StepHook& operator=(const StepHook&) = delete;
};

// The ways of taking a new name without replacing that a file system refuses, with the errors it gives.
struct Refusals {
    int rename_noreplace = 0;
    int link = 0;
};

// The step hook's answer for a file system that refuses so.
int refused(const Refusals& refusals, step at);

// Every way of taking a new name, named.
extern const std::vector<std::pair<const char*, Refusals>> file_systems;

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

class ExportDurability : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    int export_xml(const fs::path& path);
    int export_samples();
    int export_one_sample();

    // The two exports to a path the caller names, each with the test that its file is whole.
    struct Writer {
        const char* name;
        std::function<int(const fs::path&)> write;
        std::function<bool(const fs::path&)> whole;
    };
    std::vector<Writer> writers();

    // The exported AIFF files of the S folder (hidden temporary files left by a killed writer are not among them).
    std::vector<fs::path> exported() const;
    korvel_sample_t* sample(int n) const;

    fs::path folder;
    unsigned int id = 0;
    korvel_defsfont_t* bank = nullptr;
};

} // namespace korvel_export_test
