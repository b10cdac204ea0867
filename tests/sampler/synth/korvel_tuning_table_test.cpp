// The synthesizer's tuning table.
#include "sampler/src/synth/korvel_tuning_table.h"
#include "tests/sampler/support/korvel_log_capture.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class TuningTable : public ::testing::Test {
protected:
    void TearDown() override { korvel_tuning_table_clear(&table); }
    korvel_tuning_table_t table{};
};

TEST_F(TuningTable, ANewTuningWithoutPitchesIsEqualTemperament)
{
    ASSERT_EQ(korvel_tuning_table_create_key_tuning(&table, 0, 0, "equal", nullptr), 0);
    double pitch[128];
    char name[4];
    ASSERT_EQ(korvel_tuning_table_dump(&table, 0, 0, name, sizeof name, pitch), 0);
    EXPECT_EQ(pitch[60], 6000.0);
    EXPECT_STREQ(name, "equ") << "the name is cut to the buffer";
}

TEST_F(TuningTable, OctaveTuningsOffsetEveryOctave)
{
    double offsets[12] = {50};
    ASSERT_EQ(korvel_tuning_table_create_octave_tuning(&table, 2, 3, "octave", offsets), 0);
    korvel_tuning_t* t = korvel_tuning_table_get(&table, 2, 3);
    EXPECT_EQ(t->pitch[60], 6050.0);
    EXPECT_EQ(t->pitch[61], 6100.0);
}

TEST_F(TuningTable, CreatingAgainRenamesAndKeepsThePitches)
{
    double pitch[128];
    for (int k = 0; k < 128; k++) {
        pitch[k] = 50.0 * k;
    }
    korvel_tuning_table_create_key_tuning(&table, 1, 1, "first", pitch);
    korvel_tuning_table_create_key_tuning(&table, 1, 1, "second", nullptr);
    korvel_tuning_t* t = korvel_tuning_table_get(&table, 1, 1);
    EXPECT_STREQ(korvel_tuning_get_name(t), "second");
    EXPECT_EQ(t->pitch[100], 5000.0);
}

TEST_F(TuningTable, OutOfRangeNumbersAndMissingTuningsAreRefused)
{
    korvel_test::LogCapture capture;
    EXPECT_EQ(korvel_tuning_table_create_key_tuning(&table, 128, 0, "x", nullptr), -1);
    EXPECT_EQ(korvel_tuning_table_create_octave_tuning(&table, 0, 128, "x", nullptr), -1);
    int key = 60;
    double cents = 1.0;
    EXPECT_EQ(korvel_tuning_table_tune_notes(&table, 0, 0, 1, &key, &cents), -1);
    EXPECT_EQ(korvel_tuning_table_dump(&table, 0, 0, nullptr, 0, nullptr), -1);
    EXPECT_EQ(capture.texts(KORVEL_WARN),
              (std::vector<std::string>{"Bank number out of range", "Program number out of range",
                                        "No tuning at bank 0, prog 0", "No tuning at bank 0, prog 0"}));
}

TEST_F(TuningTable, TuningNotesSkipsKeysOutOfRange)
{
    korvel_tuning_table_create_key_tuning(&table, 0, 0, "x", nullptr);
    const int keys[] = {60, 200, 61};
    const double cents[] = {1.0, 2.0, 3.0};
    EXPECT_EQ(korvel_tuning_table_tune_notes(&table, 0, 0, 3, keys, cents), 0);
    korvel_tuning_t* t = korvel_tuning_table_get(&table, 0, 0);
    EXPECT_EQ(t->pitch[60], 1.0);
    EXPECT_EQ(t->pitch[61], 3.0);
    EXPECT_EQ(korvel_tuning_table_tune_notes(&table, 0, 0, 0, keys, cents), 0);
}

TEST_F(TuningTable, IterationRunsByBankThenProgram)
{
    int bank = -1;
    int prog = -1;
    korvel_tuning_table_iteration_start(&table);
    EXPECT_EQ(korvel_tuning_table_iteration_next(&table, &bank, &prog), 0) << "no table yet";
    korvel_tuning_table_create_key_tuning(&table, 3, 0, "c", nullptr);
    korvel_tuning_table_create_key_tuning(&table, 0, 127, "b", nullptr);
    korvel_tuning_table_create_key_tuning(&table, 0, 5, "a", nullptr);
    korvel_tuning_table_iteration_start(&table);
    std::vector<std::pair<int, int>> seen;
    while (korvel_tuning_table_iteration_next(&table, &bank, &prog)) {
        seen.emplace_back(bank, prog);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{0, 5}, {0, 127}, {3, 0}}));
}

} // namespace
