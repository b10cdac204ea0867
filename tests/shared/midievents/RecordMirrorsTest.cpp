#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "shared/midievents/MIDIRecordMirrors.h"
#include "shared/midievents/MIDIRecordOwners.h"

namespace {

const uint8_t* bytesOf(const void* record) { return static_cast<const uint8_t*>(record); }

TEST(RecordMirrorsTest, FreshMetaRecordIsZeroExceptItsOwnPayloadAddress) {
  auto record = std::make_unique<MIDIMetaEventEx>();
  const uint8_t* raw = bytesOf(record.get());
  for (std::size_t i = 0; i < 1032; ++i) ASSERT_EQ(raw[i], 0) << i;
  EXPECT_EQ(record->ptr, raw + 8);
  uint8_t* stored = nullptr;
  std::memcpy(&stored, raw + 1032, sizeof stored);
  EXPECT_EQ(stored, raw + 8);
}

TEST(RecordMirrorsTest, FreshRawRecordIsZeroExceptItsOwnPayloadAddress) {
  auto record = std::make_unique<MIDIRawDataEx>();
  const uint8_t* raw = bytesOf(record.get());
  for (std::size_t i = 0; i < 1032; ++i) ASSERT_EQ(raw[i], 0) << i;
  EXPECT_EQ(record->ptr, raw + 4);
}

TEST(RecordMirrorsTest, CopiesAddressTheirOwnPayload) {
  auto source = std::make_unique<MIDIRawDataEx>();
  source->length = 3;
  source->data.bytes[0] = 0xF0;
  auto copy = std::make_unique<MIDIRawDataEx>(*source);
  EXPECT_EQ(copy->ptr, copy->data.bytes.data());
  EXPECT_EQ(copy->ptr[0], 0xF0);
  EXPECT_EQ(copy->length, 3u);
  auto assigned = std::make_unique<MIDIRawDataEx>();
  uint8_t* const own = assigned->ptr;
  *assigned = *source;
  EXPECT_EQ(assigned->ptr, own);

  auto meta = std::make_unique<MIDIMetaEventEx>();
  meta->metaEventType = 0x51;
  auto metaCopy = std::make_unique<MIDIMetaEventEx>(*meta);
  EXPECT_EQ(metaCopy->ptr, metaCopy->data.bytes.data());
  EXPECT_EQ(metaCopy->metaEventType, 0x51);

  auto owner = std::make_unique<MyMIDIMetaEvent>();
  auto ownerCopy = std::make_unique<MyMIDIMetaEvent>(*owner);
  EXPECT_EQ(ownerCopy->dataPtr(), ownerCopy->ext.ptr);
  EXPECT_EQ(bytesOf(ownerCopy->MIDIMetaEventPtr()), bytesOf(&ownerCopy->ext));
}

TEST(RecordMirrorsTest, PayloadIsTheDeclaredLengthCappedAtTheRecordSize) {
  auto raw = std::make_unique<MIDIRawDataEx>();
  raw->length = 3;
  raw->data.bytes[0] = 0xF0;
  raw->data.bytes[1] = 0x7E;
  raw->data.bytes[2] = 0xF7;
  const auto payload = raw->payload();
  EXPECT_EQ(std::vector<uint8_t>(payload.begin(), payload.end()), (std::vector<uint8_t>{0xF0, 0x7E, 0xF7}));
  auto meta = std::make_unique<MIDIMetaEventEx>();
  meta->dataLength = 5000;
  EXPECT_EQ(meta->payload().size(), 1024u);
  EXPECT_EQ(meta->payload().data(), meta->ptr);
}

TEST(RecordMirrorsTest, PacketLaysOutItsDataBytesAfterTheLength) {
  const MIDIPacketEx packet(1000, 3, {0x90, 0x3C, 0x64, 0x00});
  const uint8_t* raw = bytesOf(&packet);
  EXPECT_EQ(std::vector<uint8_t>(raw + 10, raw + 14), (std::vector<uint8_t>{0x90, 0x3C, 0x64, 0x00}));
  EXPECT_EQ(packet.timeStamp, 1000u);
  EXPECT_EQ(packet.length, 3);
  MyMIDIPacket owner;
  owner.ext = packet;
  EXPECT_EQ(owner.dataPtr()[0], 0x90);
}

}  // namespace
