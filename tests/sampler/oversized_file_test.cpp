// Every file reader of the library refuses a 2 GB file whose header promises that much content, without reading
// it: the reader's peak resident memory grows by less than 100 MB.
#include "sampler/src/formats/korvel_aiff_export.h"
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/formats/korvel_dls.h"
#include "sampler/src/midi/korvel_midi_file.h"
#include "sampler/src/bank/korvel_sfloader.h"
#include "sampler/src/formats/korvel_xml_reader.h"
#include "tests/sampler/support/sf2_fixture.h"
#include "tests/support/OversizedFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace {

constexpr std::uint64_t kTwoGigabytes = std::uint64_t{2} << 30;
constexpr std::int64_t kResidentLimitBytes = 100 << 20;

std::string le32(uint32_t v)
{
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

std::string be32(uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

TEST(OversizedFiles, EveryReaderRefusesATwoGigabyteFileWithoutReadingIt)
{
    struct Case {
        const char* reader;
        std::string header;
        std::function<bool(const char*)> read; // true when the file was taken
    };
    const std::vector<Case> cases = {
        {"SoundFont 2", "RIFF" + le32(0x7FFFFFF0) + "sfbkLIST" + le32(0x7FFFFF00) + "INFO",
         [](const char* path) {
             korvel_sfont_t* sfont = korvel_defsfloader_load(nullptr, path);
             if (sfont != nullptr) {
                 sfont->free(sfont);
             }
             return sfont != nullptr;
         }},
        {"DLS", "RIFF" + le32(0x7FFFFFF0) + "DLS colh" + le32(4) + le32(1),
         [](const char* path) {
             korvel_defsfont_t* bank = new_korvel_defsfont();
             const bool taken = korvel_dls_load(bank, path) == 0;
             delete_korvel_defsfont(bank);
             return taken;
         }},
        {"XML bank", "<?xml version='1.0'?><soundbank><presets>",
         [](const char* path) {
             korvel_defsfont_t* bank = new_korvel_defsfont();
             korvel_defsfont_load_xml(bank, path);
             const bool taken = bank->preset != nullptr;
             delete_korvel_defsfont(bank);
             return taken;
         }},
        {"AIFF", "FORM" + be32(0x7FFFFFF0) + "AIFFCOMM" + be32(18) + std::string("\0\2", 2) + be32(0x10000000) +
                     std::string("\0\20\x40\x0E\xAC\x44\0\0\0\0\0\0", 12) + "SSND" + be32(0x7FFFFF00),
         [](const char* path) { return loadAiffFile(path) > 0; }},
        {"MIDI file player", "MThd" + be32(6) + std::string("\0\1\0\1\1\xE0", 6) + "MTrk" + be32(0x7FFFFF00),
         [](const char* path) {
             korvel_midi_file_t* file = new_korvel_midi_file(path);
             delete_korvel_midi_file(file);
             return file != nullptr;
         }},
    };
    const std::string path = sf2::scratch_path("two-gigabytes");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reader);
        ASSERT_TRUE(testsupport::makeSparseFile(path, c.header, kTwoGigabytes));
        const testsupport::ChildRead result = testsupport::readInChild([&] {
            std::freopen("/dev/null", "w", stdout);
            return c.read(path.c_str());
        });
        EXPECT_TRUE(result.ran);
        EXPECT_TRUE(result.refused);
        EXPECT_LT(result.residentGrowthBytes, kResidentLimitBytes);
    }
    std::filesystem::remove(path);
}

} // namespace
