// The XML bank reader's memory grows with the elements it keeps, and it keeps no more than its caps: a 60 MB bank of
// presets loads within four times its size of resident memory, and a file over the size limit is named as such.
#include "sampler/src/formats/korvel_xml_reader.h"
#include "tests/sampler/support/sf2_fixture.h"
#include "tests/support/OversizedFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr long long kBankBytes = 60LL << 20;

// Presets of one zone each, written until the file holds bytes.
void write_preset_bank(const std::string& path, long long bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    long long written = std::fprintf(file, "<?xml version='1.0'?>\n<soundbank>\n<presets>\n");
    for (int uid = 1; written < bytes - 64; uid++) {
        written += std::fprintf(file, "<preset uid='%d' name='P%d' bank='0' number='%d'><pzone id='1'/></preset>\n",
                                uid, uid, uid % 128);
    }
    written += std::fprintf(file, "</presets>\n</soundbank>\n");
    ASSERT_EQ(std::fclose(file), 0);
}

std::string load_quietly(korvel_defsfont_t* bank, const std::string& path, int* result)
{
    ::testing::internal::CaptureStdout();
    *result = korvel_defsfont_load_xml(bank, path.c_str());
    return ::testing::internal::GetCapturedStdout();
}

TEST(XmlReaderMemory, ASixtyMegabyteBankLoadsWithinFourTimesItsSize)
{
    const std::string path = sf2::scratch_path("presets.xml");
    write_preset_bank(path, kBankBytes);
    const testsupport::ChildRead read = testsupport::readInChild([&] {
        std::freopen("/dev/null", "w", stdout);
        korvel_defsfont_t* bank = new_korvel_defsfont();
        korvel_defsfont_load_xml(bank, path.c_str());
        int presets = 0;
        for (korvel_defpreset_t* p = bank->preset; p != nullptr; p = p->next) {
            presets++;
        }
        return presets == KORVEL_XML_PRESET_LIMIT; // the first presets up to the cap, the rest refused
    });
    std::filesystem::remove(path);
    EXPECT_TRUE(read.ran);
    EXPECT_FALSE(read.refused);
    EXPECT_LT(read.residentGrowthBytes, 4 * kBankBytes);
}

TEST(XmlReaderMemory, TheCapAndTheSizeLimitAreNamed)
{
    const std::string path = sf2::scratch_path("bank.xml");
    std::string doc = "<soundbank><instruments>";
    for (int uid = 1; uid <= KORVEL_XML_INSTRUMENT_LIMIT + 2; uid++) {
        doc += "<instrument uid='" + std::to_string(uid) + "'/>";
    }
    doc += "</instruments></soundbank>";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(doc.c_str(), file);
    std::fclose(file);
    korvel_defsfont_t* bank = new_korvel_defsfont();
    int result = -2;
    const std::string out = load_quietly(bank, path, &result);
    EXPECT_EQ(result, 0);
    EXPECT_NE(out.find("WARNING: The sound bank holds more than 16384 instruments; the rest of them is not read.\n"),
              std::string::npos);
    int instruments = 0;
    for (korvel_list_t* p = bank->inst; p != nullptr; p = p->next) {
        instruments++;
    }
    EXPECT_EQ(instruments, KORVEL_XML_INSTRUMENT_LIMIT);
    delete_korvel_defsfont(bank);

    ASSERT_TRUE(testsupport::makeSparseFile(path, "<soundbank>", (256LL << 20) + 1));
    bank = new_korvel_defsfont();
    const std::string big = load_quietly(bank, path, &result);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(big.find("not found"), std::string::npos) << big;
    EXPECT_EQ(bank->preset, nullptr);
    delete_korvel_defsfont(bank);
    ::testing::internal::CaptureStdout();
    korvel_defsfont_load_presets_from_file(bank = new_korvel_defsfont(), path.c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "File '" + path + "' is larger than 268435456 bytes.\n");
    delete_korvel_defsfont(bank);
    std::filesystem::remove(path);
}

} // namespace
