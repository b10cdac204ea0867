#include "tests/tools/bankgen/generated_bank.h"

#include "sampler/src/formats/korvel_dls.h"
#include "sampler/src/bank/korvel_sf2_import.h"
#include "tools/bankgen/BankFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace bankgen_test {

namespace {

std::filesystem::path scratchFolder()
{
    const char* root = std::getenv("TUNEDECK_TEST_TMP");
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path folder = std::filesystem::path(root != nullptr ? root : "/tmp") / "bankgen" /
                                   (std::string(test->test_suite_name()) + "." + test->name());
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace

const bankgen::ProgramSet& programSet(const bankgen::BankFile& file)
{
    static std::map<std::string, bankgen::ProgramSet, std::less<>> sets;
    auto found = sets.find(file.fileName);
    if (found == sets.end()) {
        found = sets.emplace(std::string(file.fileName), bankgen::buildProgramSet(file)).first;
    }
    return found->second;
}

std::string writtenBank(const bankgen::BankFile& file)
{
    std::filesystem::path folder = scratchFolder();
    if (!bankgen::writeBankFile(programSet(file), file, folder)) {
        return {};
    }
    return (folder / file.fileName).string();
}

const bankgen::BankFile* bankFile(std::string_view fileName)
{
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        if (file.fileName == fileName) {
            return &file;
        }
    }
    return nullptr;
}

LoadedBank::LoadedBank(const bankgen::BankFile& file)
{
    std::string path = writtenBank(file);
    if (path.empty()) {
        ADD_FAILURE() << "cannot write " << file.fileName;
        return;
    }
    bank = new_korvel_defsfont();
    result = file.format == bankgen::BankFormat::dls ? korvel_dls_load(bank, path.c_str())
                                                     : korvel_defsfont_load(bank, path.c_str());
}

LoadedBank::~LoadedBank()
{
    delete_korvel_defsfont(bank);
}

korvel_defpreset_t* LoadedBank::preset(unsigned bankNumber, unsigned program) const
{
    for (korvel_defpreset_t* p = bank != nullptr ? bank->preset : nullptr; p != nullptr; p = p->next) {
        if (p->bank == bankNumber && p->num == program) {
            return p;
        }
    }
    return nullptr;
}

std::vector<korvel_defpreset_t*> LoadedBank::presets() const
{
    std::vector<korvel_defpreset_t*> all;
    for (korvel_defpreset_t* p = bank != nullptr ? bank->preset : nullptr; p != nullptr; p = p->next) {
        all.push_back(p);
    }
    return all;
}

korvel_inst_t* instrumentOf(const korvel_defpreset_t* preset)
{
    return preset != nullptr && preset->zone != nullptr ? preset->zone->inst : nullptr;
}

std::vector<std::string> sampleNames(const korvel_defpreset_t* preset)
{
    std::vector<std::pair<int, std::string>> zones;
    for (korvel_preset_zone_t* p = preset != nullptr ? preset->zone : nullptr; p != nullptr; p = p->next) {
        for (korvel_inst_zone_t* z = p->inst != nullptr ? p->inst->zone : nullptr; z != nullptr; z = z->next) {
            zones.emplace_back(z->keylo, z->sample != nullptr ? z->sample->name : "");
        }
    }
    std::sort(zones.begin(), zones.end());
    std::vector<std::string> names;
    for (auto& zone : zones) {
        names.push_back(std::move(zone.second));
    }
    return names;
}

std::vector<std::string> sampleNames(const bankgen::ProgramSet& set, const bankgen::GeneratedInstrument& instrument)
{
    std::vector<std::pair<int, std::string>> regions;
    for (const bankgen::Region& region : instrument.regions) {
        regions.emplace_back(region.keyLo, set.samples[region.sample].name);
    }
    std::sort(regions.begin(), regions.end());
    std::vector<std::string> names;
    for (auto& region : regions) {
        names.push_back(std::move(region.second));
    }
    return names;
}

std::vector<korvel_inst_zone_t*> zonesForKey(korvel_inst_t* instrument, int key)
{
    std::vector<korvel_inst_zone_t*> zones;
    for (korvel_inst_zone_t* z = instrument != nullptr ? instrument->zone : nullptr; z != nullptr; z = z->next) {
        if (z->keylo <= key && key <= z->keyhi) {
            zones.push_back(z);
        }
    }
    return zones;
}

} // namespace bankgen_test
