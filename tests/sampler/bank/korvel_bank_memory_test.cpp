// Prefaulted bank memory: sample data blocks, the arena, and the records made in it.
#include "sampler/src/bank/korvel_bank_memory.h"
#include "sampler/src/bank/korvel_defsfont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define BANK_MEMORY_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BANK_MEMORY_SANITIZED 1
#endif
#endif
#ifdef BANK_MEMORY_SANITIZED
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
#endif

namespace {

bool allZero(const void* data, size_t bytes)
{
    const auto* p = static_cast<const unsigned char*>(data);
    return std::all_of(p, p + bytes, [](unsigned char c) { return c == 0; });
}

TEST(BankMemory, SampleDataIsZeroFilledWritableAndReleased)
{
    for (size_t bytes : {size_t{2}, size_t{4096}, size_t{3 * 1024 * 1024 + 6}}) {
        short* data = korvel_sample_data_new(bytes);
        ASSERT_NE(data, nullptr) << bytes;
        EXPECT_TRUE(allZero(data, bytes)) << bytes;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % 16, 0u);
        data[bytes / sizeof(short) - 1] = 0x1234;
        EXPECT_EQ(data[bytes / sizeof(short) - 1], 0x1234);
        korvel_sample_data_delete(data);
    }
    korvel_sample_data_delete(nullptr);
}

TEST(BankMemory, ArenaPiecesAreAlignedZeroedAndApartAcrossBlocks)
{
    korvel_bank_arena arena;
    ASSERT_TRUE(arena.reserve(1000));
    // Small pieces, pieces larger than a whole block, blocks of huge pages, and small ones again in each next block.
    const size_t sizes[] = {1, 17, 100, 1000, 200 * 1024, 3, 300 * 1024, 48, 64 * 1024, 1536 * 1024, 5, 2560 * 1024};
    std::vector<std::pair<char*, size_t>> pieces;
    for (size_t bytes : sizes) {
        auto* piece = static_cast<char*>(arena.allocate(bytes));
        ASSERT_NE(piece, nullptr) << bytes;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(piece) % 16, 0u) << bytes;
        EXPECT_TRUE(allZero(piece, bytes)) << bytes;
        std::memset(piece, 0xab, bytes);
        pieces.emplace_back(piece, bytes);
    }
    std::sort(pieces.begin(), pieces.end());
    for (size_t i = 1; i < pieces.size(); i++) {
        EXPECT_LE(pieces[i - 1].first + pieces[i - 1].second, pieces[i].first) << i;
    }
}

TEST(BankMemory, ZonesInTheArenaStartAsOtherZonesAndDeleteLeavesTheStorage)
{
    korvel_bank_arena arena;
    const std::string longName(300, 'z');
    for (const char* name : {"Piano/1", "", longName.c_str()}) {
        korvel_inst_zone_t* inArena = new_korvel_inst_zone_in(arena, name);
        korvel_inst_zone_t* onHeap = new_korvel_inst_zone(name);
        ASSERT_NE(inArena, nullptr);
        ASSERT_NE(onHeap, nullptr);
        EXPECT_STREQ(inArena->name, name);
        EXPECT_EQ(inArena->id, onHeap->id);
        EXPECT_EQ(inArena->keyhi, onHeap->keyhi);
        EXPECT_EQ(inArena->velhi, onHeap->velhi);
        EXPECT_TRUE(inArena->in_arena);
        EXPECT_FALSE(onHeap->in_arena);
        for (int i = 0; i < GEN_LAST; i++) {
            EXPECT_EQ(inArena->gen[i].val, onHeap->gen[i].val) << i;
            EXPECT_EQ(inArena->gen[i].flags, GEN_UNUSED) << i;
        }
        inArena->mod = korvel_mod_new();
        EXPECT_EQ(delete_korvel_inst_zone(inArena), 0);
        EXPECT_EQ(delete_korvel_inst_zone(onHeap), 0);
    }
    korvel_preset_zone_t* preset = new_korvel_preset_zone_in(arena, "Preset/2");
    ASSERT_NE(preset, nullptr);
    EXPECT_STREQ(preset->name, "Preset/2");
    EXPECT_EQ(delete_korvel_preset_zone(preset), 0);
}

TEST(BankMemory, RecordsInTheArenaStartAsOtherRecords)
{
    korvel_bank_arena arena;
    korvel_sample_t* sample = new_korvel_sample_in(arena);
    korvel_sample_t* heapSample = new_korvel_sample();
    ASSERT_NE(sample, nullptr);
    ASSERT_NE(heapSample, nullptr);
    EXPECT_TRUE(sample->in_arena);
    EXPECT_FALSE(heapSample->in_arena);
    EXPECT_EQ(sample->tsource, heapSample->tsource);
    EXPECT_EQ(sample->uid, heapSample->uid);
    EXPECT_EQ(sample->valid, heapSample->valid);
    EXPECT_EQ(sample->use_count.load(), 0u);
    EXPECT_EQ(sample->data, nullptr);
    EXPECT_EQ(delete_korvel_sample(sample), 0);
    EXPECT_EQ(delete_korvel_sample(heapSample), 0);

    korvel_inst_t* inst = new_korvel_inst_in(arena);
    korvel_inst_t* heapInst = new_korvel_inst();
    ASSERT_NE(inst, nullptr);
    ASSERT_NE(heapInst, nullptr);
    EXPECT_TRUE(inst->in_arena);
    EXPECT_FALSE(heapInst->in_arena);
    EXPECT_EQ(inst->uid, heapInst->uid);
    EXPECT_EQ(inst->serial + 1, heapInst->serial);
    korvel_inst_add_zone(inst, new_korvel_inst_zone_in(arena, "Inst/1"));
    korvel_inst_set_global_zone(inst, new_korvel_inst_zone("global"));
    EXPECT_EQ(delete_korvel_inst(inst), 0);
    EXPECT_EQ(delete_korvel_inst(heapInst), 0);

    korvel_defsfont_t* bank = new_korvel_defsfont();
    ASSERT_NE(bank, nullptr);
    korvel_defpreset_t* preset = new_korvel_defpreset_in(arena, bank);
    ASSERT_NE(preset, nullptr);
    EXPECT_TRUE(preset->in_arena);
    EXPECT_EQ(preset->sfont, bank);
    EXPECT_EQ(preset->uid, ~0u);
    EXPECT_EQ(preset->iface.data, preset);
    korvel_defpreset_add_zone(preset, new_korvel_preset_zone_in(arena, "Preset/1"));
    EXPECT_EQ(delete_korvel_defpreset(preset), 0);
    delete_korvel_defsfont(bank);
}

#ifdef BANK_MEMORY_SANITIZED
// What the address sanitizer is told: memory the bank has not handed out, or has taken back, is poisoned, and heap
// memory that only records in the arena point to is not a leak.
TEST(BankMemory, TheSanitizerSeesOnlyLiveBytesAndTheArenasPointers)
{
    short* data = korvel_sample_data_new(100);
    EXPECT_FALSE(__asan_region_is_poisoned(data, 100));
    EXPECT_TRUE(__asan_address_is_poisoned(reinterpret_cast<char*>(data) + 100));
    EXPECT_TRUE(__asan_address_is_poisoned(reinterpret_cast<char*>(data) + 4000));
    korvel_sample_data_delete(data);

    korvel_bank_arena arena;
    char* piece = static_cast<char*>(arena.allocate(24));
    EXPECT_FALSE(__asan_region_is_poisoned(piece, 24));
    EXPECT_TRUE(__asan_address_is_poisoned(piece + 24)) << "the piece's padding";
    EXPECT_TRUE(__asan_address_is_poisoned(piece + 4096)) << "room not handed out yet";
    korvel_inst_zone_t* zone = new_korvel_inst_zone_in(arena, "z");
    zone->mod = korvel_mod_new(); // reachable only through the arena
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
    delete_korvel_inst_zone(zone);
    EXPECT_TRUE(__asan_address_is_poisoned(zone)) << "a deleted record";
}

// Records laid side by side: the bytes between one piece and the next are poisoned even when a piece's size is a
// whole multiple of the alignment, so an overflow from one record into the next is reported.
TEST(BankMemory, AnOverflowIntoTheNextRecordIsSeen)
{
    korvel_bank_arena arena;
    for (size_t bytes : {size_t{16}, size_t{32}, size_t{24}, sizeof(korvel_inst_zone_t), sizeof(korvel_sample_t)}) {
        auto* piece = static_cast<char*>(arena.allocate(bytes));
        auto* next = static_cast<char*>(arena.allocate(bytes));
        ASSERT_NE(piece, nullptr);
        ASSERT_NE(next, nullptr);
        EXPECT_GE(next - (piece + bytes), 16) << bytes;
        for (char* gap = piece + bytes; gap < next; gap++) {
            EXPECT_TRUE(__asan_address_is_poisoned(gap)) << bytes << " at " << gap - piece;
        }
    }
    auto* record = static_cast<volatile char*>(arena.allocate(32));
    arena.allocate(32);
    EXPECT_DEATH(record[32] = 1, "use-after-poison");
}
#endif

} // namespace
