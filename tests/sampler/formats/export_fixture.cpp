#include "tests/sampler/formats/export_fixture.h"

#include "sampler/src/formats/korvel_aiff_export.h"
#include "sampler/src/korvelsynth.h"
#include "tests/sampler/support/aiff_frames.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <iterator>

namespace korvel_export_test {

namespace {

std::function<int(step)> step_action;

int run_step_action(step at)
{
    return step_action ? step_action(at) : 0;
}

unsigned int next_instance_id()
{
    static unsigned int id = 7400;
    return ++id;
}

} // namespace

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

bool whole_aiff(const fs::path& path)
{
    return korvel_test::whole_aiff_frames(path.string()) > 0;
}

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

StepHook::StepHook(std::function<int(step)> action)
{
    step_action = std::move(action);
    korvel_atomic::set_step_hook(run_step_action);
}

StepHook::~StepHook()
{
    korvel_atomic::set_step_hook(nullptr);
    step_action = nullptr;
}

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

void ExportDurability::SetUp()
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

void ExportDurability::TearDown()
{
    ::testing::internal::CaptureStdout();
    KorvelFinalize(id);
    ::testing::internal::GetCapturedStdout();
}

int ExportDurability::export_xml(const fs::path& path)
{
    ::testing::internal::CaptureStdout();
    const int result = KorvelExportXML(id, path.c_str());
    ::testing::internal::GetCapturedStdout();
    return result;
}

int ExportDurability::export_samples()
{
    ::testing::internal::CaptureStdout();
    const int result = KorvelExportSamples(id);
    ::testing::internal::GetCapturedStdout();
    return result;
}

int ExportDurability::export_one_sample()
{
    ::testing::internal::CaptureStdout();
    const int result = korvel_sample_export_sfont(sample(0));
    ::testing::internal::GetCapturedStdout();
    return result;
}

std::vector<ExportDurability::Writer> ExportDurability::writers()
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

std::vector<fs::path> ExportDurability::exported() const
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder / "out" / "S")) {
        if (entry.path().filename().string()[0] != '.') {
            files.push_back(entry.path());
        }
    }
    return files;
}

korvel_sample_t* ExportDurability::sample(int n) const
{
    korvel_list_t* cell = bank->sample;
    for (int i = 0; i < n; i++) {
        cell = cell->next;
    }
    return static_cast<korvel_sample_t*>(cell->data);
}

} // namespace korvel_export_test
