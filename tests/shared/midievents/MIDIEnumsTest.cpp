#include <gtest/gtest.h>

#include <set>

#include "shared/midievents/METATags.h"
#include "shared/midievents/MIDIConstants.h"
#include "shared/midievents/MIDIControllers.h"
#include "shared/midievents/MIDIStatus.h"

namespace {

// Every byte that creates a case, in ascending order.
template <class Make>
std::vector<int> acceptedBytes(Make make) {
  std::vector<int> bytes;
  for (int raw = 0; raw < 256; ++raw) {
    if (make(static_cast<uint8_t>(raw))) bytes.push_back(raw);
  }
  return bytes;
}

std::vector<int> range(int first, int last) {
  std::vector<int> bytes;
  for (int b = first; b <= last; ++b) bytes.push_back(b);
  return bytes;
}

TEST(MIDIStatusTest, CreatesCasesOnlyFromItsTwentyThreeBytes) {
  std::vector<int> expected = {0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0};
  for (int b : range(0xF0, 0xFF)) expected.push_back(b);
  EXPECT_EQ(acceptedBytes(midiStatusFromRawValue), expected);
  EXPECT_EQ(midiStatusFromRawValue(0xF4), MIDIStatus::_0x4F);
  EXPECT_EQ(midiStatusFromRawValue(0xF5), MIDIStatus::_0x5F);
  EXPECT_EQ(midiStatusFromRawValue(0x7F), std::nullopt);
  EXPECT_EQ(midiStatusFromRawValue(0x81), std::nullopt);
}

TEST(MIDIControllersTest, CreatesCasesOnlyOutsideTheGap) {
  std::vector<int> expected = range(0x00, 0x29);
  for (int b : range(0x3A, 0x7F)) expected.push_back(b);
  EXPECT_EQ(acceptedBytes(midiControllerFromRawValue), expected);
  EXPECT_EQ(allMIDIControllersCases.size(), 112u);
  EXPECT_EQ(midiControllerFromRawValue(0x40), MIDIControllers::Hold1);
  EXPECT_EQ(midiControllerFromRawValue(0x30), std::nullopt);
}

TEST(MIDIControllersTest, NamedCasesCarryTheirControllerNumbers) {
  struct Case {
    MIDIControllers controller;
    int number;
  };
  const Case cases[] = {
      {MIDIControllers::BankSelectMSB, 0x00},    {MIDIControllers::_0x0F, 0x0F},
      {MIDIControllers::GeneralPurpose4, 0x13},  {MIDIControllers::BankSelectLSB, 0x20},
      {MIDIControllers::_0x29, 0x29},            {MIDIControllers::_0x3A, 0x3A},
      {MIDIControllers::Hold2, 0x45},            {MIDIControllers::SoundController10, 0x4F},
      {MIDIControllers::GeneralPurpose8, 0x53},  {MIDIControllers::PortamentoControl, 0x54},
      {MIDIControllers::Effect1Depth, 0x5B},     {MIDIControllers::Effect5Depth, 0x5F},
      {MIDIControllers::RPN_MSB, 0x65},          {MIDIControllers::_0x77, 0x77},
      {MIDIControllers::AllSoundsOff, 0x78},     {MIDIControllers::AllNotesOff, 0x7B},
      {MIDIControllers::PolyOn, 0x7F},
  };
  for (const Case& c : cases) EXPECT_EQ(static_cast<int>(c.controller), c.number) << c.number;
}

TEST(METATagsTest, CreatesCasesOnlyFromItsTwentyThreeBytes) {
  std::vector<int> expected = range(0x00, 0x09);
  for (int b : {0x20, 0x21, 0x2F, 0x51, 0x54, 0x58, 0x59, 0x7F, 0xF0, 0xF1, 0xF2, 0xF3, 0xFF}) expected.push_back(b);
  EXPECT_EQ(acceptedBytes(metaTagFromRawValue), expected);
}

TEST(METATagsTest, ExtendedEventCasesDifferFromTheConstantsOfTheSameName) {
  EXPECT_EQ(metaTagFromRawValue(0xF1), METATags::META_EXTENDEDNOTE);
  EXPECT_EQ(metaTagFromRawValue(0xF2), METATags::META_AUPARAMETER);
  EXPECT_EQ(metaTagFromRawValue(0xF3), METATags::META_AUPRESET);
  EXPECT_EQ(META_EXTENDEDNOTE, 0xFF);
  EXPECT_EQ(META_AUPARAMETER, 0xFF);
  EXPECT_EQ(META_AUPRESET, 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(METATags::META_TEXTf), META_TEXT);
}

TEST(MIDIConstantsTest, MetaStatusIsTheUndefinedSystemStatus) {
  EXPECT_EQ(STATUS_META, 0xFD);
  EXPECT_EQ(STATUS_META, STATUS_RESERVED4);
  EXPECT_EQ(midiStatusFromRawValue(STATUS_META), MIDIStatus::_0xFD);
}

TEST(MIDIEnumsTest, HexTextIsZeroPaddedUpperCase) {
  EXPECT_EQ(getHex(MIDIStatus::NoteOn), "0x90");
  EXPECT_EQ(getHex(MIDIStatus::_0x4F), "0xF4");
  EXPECT_EQ(getHex(MIDIControllers::_0x09), "0x09");
  EXPECT_EQ(getHex(MIDIControllers::BankSelectMSB), "0x00");
  EXPECT_EQ(getHex(MIDIControllers::_0x3A), "0x3A");
}

}  // namespace
