// Tuning records.
#include "sampler/src/voice/korvel_tuning.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Tuning = std::unique_ptr<korvel_tuning_t, void (*)(korvel_tuning_t*)>;

Tuning make(const char* name)
{
    return Tuning(new_korvel_tuning(name, 1, 2), delete_korvel_tuning);
}

TEST(TuningRecord, StartsInEqualTemperament)
{
    Tuning t = make("equal");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->bank, 1);
    EXPECT_EQ(t->prog, 2);
    EXPECT_STREQ(korvel_tuning_get_name(t.get()), "equal");
    EXPECT_EQ(t->pitch[60], 6000.0);
    EXPECT_EQ(t->pitch[127], 12700.0);
}

TEST(TuningRecord, OctaveOffsetsRepeatEveryTwelveKeys)
{
    Tuning t = make(nullptr);
    EXPECT_EQ(korvel_tuning_get_name(t.get()), nullptr);
    double offsets[12] = {50};
    korvel_tuning_set_octave(t.get(), offsets);
    EXPECT_EQ(t->pitch[60], 6050.0);
    EXPECT_EQ(t->pitch[61], 6100.0);
    EXPECT_EQ(t->pitch[0], 50.0);
}

TEST(TuningRecord, SingleKeysAndWholeTables)
{
    Tuning t = make("x");
    korvel_tuning_set_pitch(t.get(), 69, 8100.0);
    korvel_tuning_set_pitch(t.get(), 128, 1.0);
    korvel_tuning_set_key(t.get(), -1, 1.0);
    EXPECT_EQ(t->pitch[69], 8100.0);
    double all[128];
    for (int k = 0; k < 128; k++) {
        all[k] = k * 50.0;
    }
    korvel_tuning_set_all(t.get(), all);
    EXPECT_EQ(t->pitch[100], 5000.0);
    korvel_tuning_set_name(t.get(), "renamed");
    EXPECT_STREQ(korvel_tuning_get_name(t.get()), "renamed");
}

} // namespace
