#include <gtest/gtest.h>

#include <memory>

#include "shared/midievents/MIDIEvents.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/shared/midievents/EventClassRows.h"

namespace {

TEST(EventClassesTest, EveryClassStartsWithItsKindMaskChannelAndStatusByte) {
  ASSERT_EQ(classRows().size(), static_cast<std::size_t>(eventKindCount));
  for (std::size_t i = 0; i < classRows().size(); ++i) {
    const ClassRow& row = classRows()[i];
    SCOPED_TRACE(i);
    std::shared_ptr<EventNode> event = row.make();
    EXPECT_EQ(static_cast<std::size_t>(row.kind), i) << "kinds follow the order of the class tree";
    EXPECT_EQ(event->kind(), row.kind);
    EXPECT_EQ(event->debugDescription().rfind("<" + std::string(eventKindName(row.kind)) + ": 0x", 0), 0u);
    EXPECT_EQ(event->statusMask, row.mask);
    EXPECT_EQ(event->channel, row.channel);
    EXPECT_EQ(event->getStausByte(), static_cast<uint8_t>(row.mask + row.channel));
    EXPECT_EQ(event->uid, -1);
    EXPECT_EQ(event->position, 0.0);
    EXPECT_TRUE(event->track.expired());
    EXPECT_TRUE(event->pattern.expired());
    auto meta = eventCast<MetaEvent>(event);
    EXPECT_EQ(meta != nullptr, row.metaType >= 0);
    if (meta) {
      EXPECT_EQ(meta->type, row.metaType);
      EXPECT_EQ(meta->length, row.initialLength);
      EXPECT_TRUE(meta->data.empty());
      EXPECT_EQ(meta->getLength(), 0u);
    }
  }
}

TEST(EventClassesTest, ChannelMessagesAddTheirChannelToTheStatusByte) {
  const std::pair<std::shared_ptr<EventNode>, uint8_t> cases[] = {
      {std::make_shared<MidiNoteEvent>(), 0x99},         {std::make_shared<MidiPolyPressureEvent>(), 0xA9},
      {std::make_shared<MidiControllerEvent>(), 0xB9},   {std::make_shared<MidiProgramChangeEvent>(), 0xC9},
      {std::make_shared<MidiChannelPressureEvent>(), 0xD9}, {std::make_shared<MidiPitchBendEvent>(), 0xE9},
      {std::make_shared<MetaTextEvent>(), 0x09},
  };
  for (const auto& [event, status] : cases) {
    event->channel = 9;
    EXPECT_EQ(event->getStausByte(), status);
  }
}

TEST(EventClassesTest, StatusByteAboveAByteIsClampedWithALogLine) {
  MidiNoteEvent note;
  note.channel = 200;
  EXPECT_FALSE(note.statusByteFits());
  uint8_t status = 0;
  EXPECT_EQ(capturedLog([&] { status = note.getStausByte(); }),
            std::vector<std::string>{"Fehler: Das Status Byte 344 ist größer als 255 und wurde auf 255 begrenzt."});
  EXPECT_EQ(status, 0xFF);
  TempoEvent tempo;
  EXPECT_TRUE(tempo.statusByteFits());
  EXPECT_EQ(tempo.getStausByte(), 0xFF);
}

TEST(EventClassesTest, IsATestFollowsTheClassTree) {
  struct Case {
    EventKind kind;
    EventKind ancestor;
    bool isA;
  };
  const Case cases[] = {
      {EventKind::MetaCopyrightEvent, EventKind::MetaCopyrightEvent, true},
      {EventKind::MetaCopyrightEvent, EventKind::MetaEvent, true},
      {EventKind::MetaCopyrightEvent, EventKind::UserEvent, true},
      {EventKind::MetaCopyrightEvent, EventKind::EventNode, true},
      {EventKind::MetaCopyrightEvent, EventKind::MetaTextEvent, false},
      {EventKind::MetaUnknownEvent, EventKind::MetaEvent, true},
      {EventKind::SystemExclusiveEvent, EventKind::UserEvent, true},
      {EventKind::SystemExclusiveEvent, EventKind::MetaEvent, false},
      {EventKind::UserEvent, EventKind::MetaEvent, false},
      {EventKind::MetaEvent, EventKind::UserEvent, true},
      {EventKind::TempoEvent, EventKind::MetaSetTempoEvent, false},
      {EventKind::MidiNoteEvent, EventKind::UserEvent, false},
      {EventKind::AAUPresetEvent, EventKind::EventNode, true},
      {EventKind::EventNode, EventKind::MidiNoteEvent, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kindIsA(c.kind, c.ancestor), c.isA) << static_cast<int>(c.kind) << " " << static_cast<int>(c.ancestor);
  }
}

TEST(EventClassesTest, EventCastFindsTheClassAndItsBases) {
  std::shared_ptr<EventNode> event = std::make_shared<MetaTrackNameEvent>();
  EXPECT_EQ(eventCast<MetaTrackNameEvent>(event).get(), event.get());
  EXPECT_EQ(eventCast<MetaEvent>(event).get(), event.get());
  EXPECT_EQ(eventCast<UserEvent>(event).get(), event.get());
  EXPECT_EQ(eventCast<MetaTextEvent>(event), nullptr);
  EXPECT_EQ(eventCast<SystemExclusiveEvent>(event), nullptr);
  EXPECT_EQ(eventCast<MidiNoteEvent>(nullptr), nullptr);
}

TEST(EventClassesTest, ByteHexTextIsBlankPadded) {
  const std::pair<uint8_t, const char*> cases[] = {{0x0A, "0x A"}, {0x05, "0x 5"}, {0x00, "0x 0"}, {0xFF, "0xFF"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(EventNode::toHex(value), text);
}

}  // namespace

namespace {

TEST(EventClassesTest, OwnFieldsStartAtTheirInitialValues) {
  const MidiPitchBendEvent bend;
  EXPECT_EQ(bend.bend.msb, 0);
  EXPECT_EQ(bend.bend.lsb, 0);
  EXPECT_EQ(bend.bend.value, 0);
  const SystemExclusiveEvent sysex;
  EXPECT_EQ(SystemExclusiveEvent::start, 0xF0);
  EXPECT_EQ(SystemExclusiveEvent::stop, 0xF7);
  EXPECT_EQ(sysex.type, 0xF0);
  const SystemSongPositionPointerEvent pointer;
  EXPECT_EQ(pointer.msb + pointer.lsb, 0);
  const MidiControllerEvent controller;
  EXPECT_EQ(controller.number + controller.value, 0);
  const TempoEvent tempo;
  EXPECT_EQ(tempo.value, 120.0);
}

TEST(EventClassesTest, EveryTextMetaStoresAndReadsItsText) {
  auto check = [](auto event, uint8_t type) {
    EXPECT_EQ(event.type, type);
    event.setText("Intro");
    EXPECT_EQ(event.data, (std::vector<uint8_t>{'I', 'n', 't', 'r', 'o'}));
    EXPECT_EQ(event.length, 5u);
    EXPECT_EQ(event.getText(), "Intro");
    EXPECT_EQ(event.toText(), "Intro");
  };
  check(MetaTextEvent(), 0x01);
  check(MetaCopyrightEvent(), 0x02);
  check(MetaTrackNameEvent(), 0x03);
  check(MetaInstrumentNameEvent(), 0x04);
  check(MetaLyricsEvent(), 0x05);
  check(MetaMarkerEvent(), 0x06);
  check(MetaCuePointEvent(), 0x07);
  check(MetaProgramNameEvent(), 0x08);
  check(MetaDeviceNameEvent(), 0x09);
}

}  // namespace
