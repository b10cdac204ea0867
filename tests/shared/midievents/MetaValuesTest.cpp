#include <gtest/gtest.h>

#include "shared/midievents/MetaValues.h"

namespace {

TEST(MetaValuesTest, FreshValuesHoldTheirInitialFields) {
  const TimeSignature signature;
  EXPECT_EQ(signature.numerator, 4);
  EXPECT_EQ(signature.denumerator, 4);
  EXPECT_EQ(signature._8th, 24);
  EXPECT_EQ(signature._32nd, 8);
}

TEST(PitchBendTest, IntValueSplitsLowByteIntoMsbAndHighByteIntoLsb) {
  const uint16_t cases[] = {0x0000, 0x1234, 0x2000, 0x3FFF, 0xFFFF};
  for (uint16_t value : cases) {
    PitchBend bend;
    bend.setIntValue(value);
    EXPECT_EQ(bend.msb, value & 0xFF) << value;
    EXPECT_EQ(bend.lsb, value >> 8) << value;
    bend.value = 0;
    EXPECT_EQ(bend.getIntValue(), value);
    EXPECT_EQ(bend.value, value);
  }
}

}  // namespace
