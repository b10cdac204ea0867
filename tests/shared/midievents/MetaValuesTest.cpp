#include <gtest/gtest.h>

#include <limits>

#include "shared/midievents/ConvertTempo.h"
#include "shared/midievents/MetaValues.h"
#include "tests/shared/midievents/CapturedLog.h"

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

namespace {

TEST(ConvertTempoTest, NumbersAndBigEndianBytes) {
  EXPECT_EQ(ConvertTempo::numberToBytes(60'000'000), (std::array<uint8_t, 4>{0x03, 0x93, 0x87, 0x00}));
  const std::vector<uint8_t> bytes = {0x03, 0x93, 0x87, 0x00, 0x55};
  EXPECT_EQ(ConvertTempo::bytesToNumber(bytes), 60'000'000u);
  EXPECT_EQ(ConvertTempo::bytesToNumber(ConvertTempo::numberToBytes(0xFEDCBA98)), 0xFEDCBA98u);
  EXPECT_DOUBLE_EQ(ConvertTempo::numberToTempo(60'000'000), 1.0);
}

TEST(ConvertTempoTest, TempoToNumberTruncatesAndIsNotTheInverse) {
  const std::pair<double, uint32_t> cases[] = {
      {120.0, 60'000'000}, {0.0, 0}, {0.0000039, 1}, {8589.93, 4'294'965'000}, {8589.934590, 4'294'967'295}};
  for (const auto& [tempo, number] : cases) EXPECT_EQ(ConvertTempo::tempoToNumber(tempo), number) << tempo;
  EXPECT_DOUBLE_EQ(ConvertTempo::numberToTempo(ConvertTempo::tempoToNumber(90.0)), 90.0 / 120);
}

TEST(ConvertTempoTest, TempoMarkerBytesOf120BeatsPerMinute) {
  const auto bytes = ConvertTempo::numberToBytes(ConvertTempo::tempoToNumber(120.0));
  EXPECT_EQ(bytes[0], 0x03);
  EXPECT_EQ(bytes[1], 0x93);
  EXPECT_EQ(bytes[2], 0x87);
}

TEST(ConvertTempoTest, OutOfRangeInputIsRefusedOrClampedWithALogLine) {
  struct Case {
    double tempo;
    uint32_t number;
    const char* line;
  };
  const Case cases[] = {
      {10000.0, 4'294'967'295, "Fehler: Das Tempo 10000.0 liegt außerhalb des darstellbaren Bereichs und wurde auf "
                               "4294967295 begrenzt."},
      {-1.0, 0, "Fehler: Das Tempo -1.0 liegt außerhalb des darstellbaren Bereichs und wurde auf 0 begrenzt."},
      {std::numeric_limits<double>::quiet_NaN(), 0,
       "Fehler: Das Tempo nan liegt außerhalb des darstellbaren Bereichs und wurde auf 0 begrenzt."},
      {std::numeric_limits<double>::infinity(), 4'294'967'295,
       "Fehler: Das Tempo inf liegt außerhalb des darstellbaren Bereichs und wurde auf 4294967295 begrenzt."},
  };
  for (const Case& c : cases) {
    uint32_t number = 1;
    EXPECT_EQ(capturedLog([&] { number = ConvertTempo::tempoToNumber(c.tempo); }), std::vector<std::string>{c.line});
    EXPECT_EQ(number, c.number);
  }
  const std::vector<uint8_t> three = {1, 2, 3};
  uint32_t number = 1;
  EXPECT_EQ(capturedLog([&] { number = ConvertTempo::bytesToNumber(three); }),
            std::vector<std::string>{"Fehler: Für die Tempo Zahl werden 4 Bytes benötigt, erhalten wurden 3."});
  EXPECT_EQ(number, 0u);
}

}  // namespace
