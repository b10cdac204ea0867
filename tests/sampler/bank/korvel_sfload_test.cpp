// The SoundFont 2 parser's refusals: every truncation and a table of corrupted chunks end in a clear message and
// -1, never in a crash or a read past the data.
#include "sampler/src/bank/korvel_sf2_import.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/sf2_fixture.h"
#include "tests/sampler/support/sf2_load_result.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using sf2::LoadResult;
using Bytes = std::vector<uint8_t>;

// A small bank for the mutations: one sample, one instrument of two zones, three presets, modulators only at
// instrument level.
sf2::Bank small_bank()
{
    sf2::Bank bank;
    bank.samples.push_back(sf2::looped_sample("Tone", sf2::sine_wave(16, 4), 16, 60));
    sf2::Instrument inst{"Tone Inst", {}};
    sf2::Zone low;
    low.link = 0;
    low.key_range(0, 59).mod({0x0502, 48, 960, 0, 0});
    sf2::Zone high;
    high.link = 0;
    high.key_range(60, 127).gen(sf2::COARSE_TUNE, 12);
    inst.zones = {low, high};
    bank.instruments.push_back(inst);
    for (uint16_t program = 0; program < 3; program++) {
        sf2::Preset p{"Tone " + std::to_string(program), program, 0, {}};
        sf2::Zone z;
        z.link = 0;
        z.gen(sf2::PAN, static_cast<int16_t>(program * 10));
        p.zones.push_back(z);
        bank.presets.push_back(p);
    }
    return bank;
}

size_t chunk(const Bytes& b, const char* id)
{
    size_t at = sf2::find_chunk(b, id);
    EXPECT_NE(at, std::string::npos) << id;
    return at;
}

// Record i of a pdta sub-chunk.
size_t record(const Bytes& b, const char* id, size_t size, size_t i)
{
    return chunk(b, id) + 8 + size * i;
}

void add_to_size(Bytes& b, size_t at, int delta)
{
    sf2::put_u32(b, at + 4, static_cast<uint32_t>(static_cast<int64_t>(sf2::read_u32(b, at + 4)) + delta));
}

struct Corruption {
    const char* what;
    std::function<void(Bytes&)> mutate;
    std::string expected;
};

TEST(Sf2Refusals, CorruptedChunksAreRefusedWithTheirReason)
{
    const Corruption table[] = {
        {"RIFF id", [](Bytes& b) { b[0] = 'r'; }, "Not a RIFF file"},
        {"form type", [](Bytes& b) { b[8] = 'x'; }, "Not a sound font file"},
        {"RIFF size one more", [](Bytes& b) { add_to_size(b, 0, 1); }, "Sound font file size mismatch"},
        {"RIFF size one less", [](Bytes& b) { add_to_size(b, 0, -1); }, "Sound font file size mismatch"},
        {"first list id", [](Bytes& b) { b[12] = 'X'; }, "Invalid chunk id in level 0 parse"},
        {"INFO type", [](Bytes& b) { b[chunk(b, "INFO") + 8] = 'i'; }, "Invalid ID found when expecting INFO chunk"},
        {"sdta type", [](Bytes& b) { b[chunk(b, "sdta") + 8] = 'S'; }, "Invalid ID found when expecting SAMPLE chunk"},
        {"pdta type", [](Bytes& b) { b[chunk(b, "pdta") + 8] = 'P'; }, "Invalid ID found when expecting HYDRA chunk"},
        {"zero-length INFO list", [](Bytes& b) { sf2::put_u32(b, chunk(b, "INFO") + 4, 4); },
         "Invalid chunk id in level 0 parse"},
        {"INFO list shorter than its chunks", [](Bytes& b) { add_to_size(b, chunk(b, "INFO"), -2); },
         "INFO chunk size mismatch"},
        {"ifil size", [](Bytes& b) { sf2::put_u32(b, chunk(b, "ifil") + 4, 2); },
         "Sound font version info chunk has invalid size"},
        {"unknown INFO chunk", [](Bytes& b) { b[chunk(b, "isng")] = 'X'; }, "Invalid chunk id in INFO chunk"},
        {"odd INFO text size", [](Bytes& b) { sf2::put_u32(b, chunk(b, "isng") + 4, 7); },
         "INFO sub chunk isng has invalid chunk size of 7 bytes"},
        {"smpl id", [](Bytes& b) { b[chunk(b, "smpl")] = 'S'; }, "Expected SMPL chunk found invalid id instead"},
        {"smpl size past its list", [](Bytes& b) { add_to_size(b, chunk(b, "smpl"), 2); }, "SDTA chunk size mismatch"},
        {"zero-length pdta list", [](Bytes& b) { sf2::put_u32(b, chunk(b, "pdta") + 4, 4); },
         "\"phdr\" chunk size exceeds remaining PDTA chunk size"},
        {"pbag id", [](Bytes& b) { b[chunk(b, "pbag")] = 'x'; },
         "Expected PDTA sub-chunk \"pbag\" found invalid id instead"},
        {"pgen size not whole records", [](Bytes& b) { add_to_size(b, chunk(b, "pgen"), -1); },
         "\"pgen\" chunk size is not a multiple of 4 bytes"},
        {"shdr size past the list", [](Bytes& b) { add_to_size(b, chunk(b, "shdr"), 46); },
         "\"shdr\" chunk size exceeds remaining PDTA chunk size"},
        {"imod size past the list", [](Bytes& b) { sf2::put_u32(b, chunk(b, "imod") + 4, 2000000000); },
         "\"imod\" chunk size exceeds remaining PDTA chunk size"},
        {"preset bag indices falling", [](Bytes& b) { sf2::put_u16(b, record(b, "phdr", 38, 2) + 24, 0); },
         "Preset header indices not monotonic"},
        {"preset generator indices falling", [](Bytes& b) { sf2::put_u16(b, record(b, "pbag", 4, 1), 9); },
         "Preset bag generator indices not monotonic"},
        {"instrument modulator indices falling", [](Bytes& b) { sf2::put_u16(b, record(b, "ibag", 4, 1) + 2, 9); },
         "Instrument modulator indices not monotonic"},
        {"preset generators past their chunk", [](Bytes& b) { sf2::put_u16(b, record(b, "pbag", 4, 3), 99); },
         "Preset generator chunk size mismatch"},
        {"instrument generators past their chunk", [](Bytes& b) { sf2::put_u16(b, record(b, "ibag", 4, 2), 99); },
         "IGEN chunk size mismatch"},
        {"preset modulators named but none", [](Bytes& b) { sf2::put_u16(b, record(b, "pbag", 4, 3) + 2, 1); },
         "No preset modulators and terminal index not 0"},
        {"instrument modulators past their chunk", [](Bytes& b) { sf2::put_u16(b, record(b, "ibag", 4, 2) + 2, 7); },
         "Instrument modulator chunk size mismatch"},
        {"instrument index out of range", [](Bytes& b) { sf2::put_u16(b, record(b, "pgen", 4, 1) + 2, 7); },
         "Preset 000 000: Invalid instrument reference"},
        {"sample index out of range", [](Bytes& b) { sf2::put_u16(b, record(b, "igen", 4, 1) + 2, 300); },
         "Instrument \"Tone Inst\": Invalid sample reference"},
    };
    for (const Corruption& c : table) {
        SCOPED_TRACE(c.what);
        Bytes bytes = small_bank().bytes();
        c.mutate(bytes);
        LoadResult load(bytes);
        EXPECT_EQ(load.result, -1);
        EXPECT_TRUE(load.said(c.expected)) << load.transcript();
        EXPECT_TRUE(load.said("Couldn't load soundfont file"));
    }
}

TEST(Sf2Refusals, InstrumentHeaderWithoutBagsIsRefused)
{
    Bytes bytes = small_bank().bytes();
    // The instrument's terminal record claims more bags than ibag holds.
    sf2::put_u16(bytes, record(bytes, "inst", 22, 1) + 20, 5);
    LoadResult load(bytes);
    EXPECT_EQ(load.result, -1);
    EXPECT_TRUE(load.said("Instrument bag chunk size mismatch")) << load.transcript();
}

TEST(Sf2Refusals, VersionsOtherThanTwoAreRefused)
{
    struct Row {
        uint16_t major, minor;
        std::string expected;
    };
    const Row rows[] = {
        {1, 0, "Sound font version is 1.0 which is not supported, convert to version 2.0x"},
        {3, 1, "Sound font version is 3.1, newer than the supported version 2.0x"},
    };
    for (const Row& r : rows) {
        sf2::Bank bank = small_bank();
        bank.version_major = r.major;
        bank.version_minor = r.minor;
        LoadResult load(bank.bytes());
        EXPECT_EQ(load.result, -1);
        EXPECT_TRUE(load.said(r.expected)) << load.transcript();
    }
    sf2::Bank bank = small_bank();
    bank.version_minor = 4;
    EXPECT_EQ(LoadResult(bank.bytes()).result, 0);
}

TEST(Sf2Refusals, OnlyTheCommentMayHoldLongText)
{
    std::vector<uint8_t> text(300, 'a');
    sf2::Bank with_comment = small_bank();
    with_comment.extra_info.push_back({"ICMT", text});
    EXPECT_EQ(LoadResult(with_comment.bytes()).result, 0);

    sf2::Bank with_name = small_bank();
    with_name.name.clear();
    with_name.extra_info.push_back({"INAM", text});
    LoadResult load(with_name.bytes());
    EXPECT_EQ(load.result, -1);
    EXPECT_TRUE(load.said("INFO sub chunk INAM has invalid chunk size of 300 bytes")) << load.transcript();
}

TEST(Sf2Refusals, ATwentyFourBitExtensionIsRefused)
{
    Bytes bytes = small_bank().bytes();
    size_t sdta = chunk(bytes, "sdta");
    size_t end = sdta + 8 + sf2::read_u32(bytes, sdta + 4);
    const uint8_t sm24[] = {'s', 'm', '2', '4', 4, 0, 0, 0, 0, 0, 0, 0};
    bytes.insert(bytes.begin() + static_cast<long>(end), std::begin(sm24), std::end(sm24));
    add_to_size(bytes, sdta, static_cast<int>(sizeof sm24));
    add_to_size(bytes, 0, static_cast<int>(sizeof sm24));
    LoadResult load(bytes);
    EXPECT_EQ(load.result, -1);
    EXPECT_TRUE(load.said("SDTA chunk size mismatch")) << load.transcript();
}

TEST(Sf2Refusals, EveryTruncationIsRefused)
{
    const Bytes whole = small_bank().bytes();
    ASSERT_EQ(LoadResult(whole).result, 0);
    for (size_t length = 0; length < whole.size(); length++) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<long>(length));
        LoadResult load(cut);
        ASSERT_EQ(load.result, -1) << length;
        bool explained = load.said("Sound font file size mismatch") ||
                         load.said("EOF while attemping to read " + std::to_string(length < 8 ? 8 : 4) + " bytes");
        ASSERT_TRUE(explained) << length << "\n" << load.transcript();
    }
}

TEST(Sf2Refusals, EveryTruncationWithAMatchingRiffSizeIsRefused)
{
    // With the RIFF size patched to the cut length, the parser meets the cut deep inside the chunks.
    const Bytes whole = small_bank().bytes();
    for (size_t length = 12; length < whole.size(); length++) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<long>(length));
        sf2::put_u32(cut, 4, static_cast<uint32_t>(length - 8));
        LoadResult load(cut);
        ASSERT_EQ(load.result, -1) << length;
        ASSERT_TRUE(load.said("Couldn't load soundfont file")) << length << "\n" << load.transcript();
    }
}

TEST(Sf2Refusals, AMissingFileIsNamed)
{
    korvel_defsfont_t* bank = new_korvel_defsfont();
    korvel_test::LogCapture capture;
    std::string path = sf2::scratch_path("absent.sf2");
    EXPECT_EQ(korvel_defsfont_load(bank, path.c_str()), -1);
    std::vector<std::string> errors = capture.texts(KORVEL_ERR);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "Unable to open file \"" + path + "\"");
    EXPECT_EQ(errors[1], "Couldn't load soundfont file");
    delete_korvel_defsfont(bank);
}

} // namespace
