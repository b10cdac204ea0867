// The identifier counters are process-wide and never reset: this program holds the one test that sees them fresh.
#include "sampler/src/bank/korvel_defsfont.h"

#include <gtest/gtest.h>

namespace {

TEST(FirstIdentifiers, StartAtOneAndContinueAcrossBanks)
{
    korvel_defsfont_t* first = new_korvel_defsfont();
    EXPECT_EQ(korvel_defsfont_create_sample(first), 1u);
    EXPECT_EQ(korvel_defsfont_create_instrument(first), 1u);
    EXPECT_EQ(korvel_defsfont_create_preset(first), 1u);
    korvel_defsfont_t* second = new_korvel_defsfont();
    EXPECT_EQ(korvel_defsfont_create_sample(second), 2u);
    EXPECT_EQ(korvel_defsfont_create_instrument(second), 2u);
    EXPECT_EQ(korvel_defsfont_create_preset(second), 2u);
    EXPECT_EQ(delete_korvel_defsfont(first), 0);
    EXPECT_EQ(delete_korvel_defsfont(second), 0);
    korvel_defsfont_t* third = new_korvel_defsfont();
    EXPECT_EQ(korvel_defsfont_create_sample(third), 3u) << "deleting banks does not reset the counters";
    EXPECT_EQ(delete_korvel_defsfont(third), 0);
}

} // namespace
