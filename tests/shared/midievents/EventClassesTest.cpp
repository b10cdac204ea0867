#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "shared/midievents/MIDIEvents.h"
#include "tests/shared/midievents/CapturedLog.h"

namespace {

struct ClassRow {
  EventKind kind;
  std::function<std::shared_ptr<EventNode>()> make;
  uint8_t mask;
  uint8_t channel;
  int metaType;  // -1: not a meta class
  uint32_t initialLength;
};

template <class T>
std::function<std::shared_ptr<EventNode>()> maker() {
  return [] { return std::make_shared<T>(); };
}

const std::vector<ClassRow>& classRows() {
  static const std::vector<ClassRow> rows = {
      {EventKind::EventNode, maker<EventNode>(), 0x00, 0, -1, 0},
      {EventKind::UnknownEvent, maker<UnknownEvent>(), 0x00, 0, -1, 0},
      {EventKind::TempoEvent, maker<TempoEvent>(), 0x00, 255, -1, 0},
      {EventKind::MidiNoteEvent, maker<MidiNoteEvent>(), 0x90, 0, -1, 0},
      {EventKind::MidiPolyPressureEvent, maker<MidiPolyPressureEvent>(), 0xA0, 0, -1, 0},
      {EventKind::MidiControllerEvent, maker<MidiControllerEvent>(), 0xB0, 0, -1, 0},
      {EventKind::MidiProgramChangeEvent, maker<MidiProgramChangeEvent>(), 0xC0, 0, -1, 0},
      {EventKind::MidiChannelPressureEvent, maker<MidiChannelPressureEvent>(), 0xD0, 0, -1, 0},
      {EventKind::MidiPitchBendEvent, maker<MidiPitchBendEvent>(), 0xE0, 0, -1, 0},
      {EventKind::SystemTimeCodeEvent, maker<SystemTimeCodeEvent>(), 0xF1, 0, -1, 0},
      {EventKind::SystemSongPositionPointerEvent, maker<SystemSongPositionPointerEvent>(), 0xF2, 0, -1, 0},
      {EventKind::SystemSongSelectEvent, maker<SystemSongSelectEvent>(), 0xF3, 0, -1, 0},
      {EventKind::SystemTuneRequestEvent, maker<SystemTuneRequestEvent>(), 0xF6, 0, -1, 0},
      {EventKind::SystemClockEvent, maker<SystemClockEvent>(), 0xF8, 0, -1, 0},
      {EventKind::SystemStartEvent, maker<SystemStartEvent>(), 0xFA, 0, -1, 0},
      {EventKind::SystemContinueEvent, maker<SystemContinueEvent>(), 0xFB, 0, -1, 0},
      {EventKind::SystemStopEvent, maker<SystemStopEvent>(), 0xFC, 0, -1, 0},
      {EventKind::SystemActiveSensingEvent, maker<SystemActiveSensingEvent>(), 0xFE, 0, -1, 0},
      {EventKind::SystemResetEvent, maker<SystemResetEvent>(), 0xFF, 0, -1, 0},
      {EventKind::UserEvent, maker<UserEvent>(), 0xFF, 0, -1, 0},
      {EventKind::SystemExclusiveEvent, maker<SystemExclusiveEvent>(), 0xF0, 0, -1, 0},
      {EventKind::MetaEvent, maker<MetaEvent>(), 0x00, 0, 0x7F, 0},
      {EventKind::MetaSequenceNumberEvent, maker<MetaSequenceNumberEvent>(), 0x00, 0, 0x00, 2},
      {EventKind::MetaTextEvent, maker<MetaTextEvent>(), 0x00, 0, 0x01, 0},
      {EventKind::MetaCopyrightEvent, maker<MetaCopyrightEvent>(), 0x00, 0, 0x02, 0},
      {EventKind::MetaTrackNameEvent, maker<MetaTrackNameEvent>(), 0x00, 0, 0x03, 0},
      {EventKind::MetaInstrumentNameEvent, maker<MetaInstrumentNameEvent>(), 0x00, 0, 0x04, 0},
      {EventKind::MetaLyricsEvent, maker<MetaLyricsEvent>(), 0x00, 0, 0x05, 0},
      {EventKind::MetaMarkerEvent, maker<MetaMarkerEvent>(), 0x00, 0, 0x06, 0},
      {EventKind::MetaCuePointEvent, maker<MetaCuePointEvent>(), 0x00, 0, 0x07, 0},
      {EventKind::MetaProgramNameEvent, maker<MetaProgramNameEvent>(), 0x00, 0, 0x08, 0},
      {EventKind::MetaDeviceNameEvent, maker<MetaDeviceNameEvent>(), 0x00, 0, 0x09, 0},
      {EventKind::MetaChannelPrefixEvent, maker<MetaChannelPrefixEvent>(), 0x00, 0, 0x20, 1},
      {EventKind::MetaMidiPortEvent, maker<MetaMidiPortEvent>(), 0x00, 0, 0x21, 1},
      {EventKind::MetaEndOfTrackEvent, maker<MetaEndOfTrackEvent>(), 0x00, 0, 0x2F, 0},
      {EventKind::MetaSetTempoEvent, maker<MetaSetTempoEvent>(), 0x00, 0, 0x51, 3},
      {EventKind::MetaSMTPOffsetEvent, maker<MetaSMTPOffsetEvent>(), 0x00, 0, 0x54, 5},
      {EventKind::MetaTimeSignatureEvent, maker<MetaTimeSignatureEvent>(), 0x00, 0, 0x58, 4},
      {EventKind::MetaKeySignatureEvent, maker<MetaKeySignatureEvent>(), 0x00, 0, 0x59, 2},
      {EventKind::MetaSequencerSpecificEvent, maker<MetaSequencerSpecificEvent>(), 0x00, 0, 0x7F, 0},
      {EventKind::MetaUnknownEvent, maker<MetaUnknownEvent>(), 0x00, 0, 0xFF, 0},
      {EventKind::AExtendedNoteOnEvent, maker<AExtendedNoteOnEvent>(), 0x00, 0, -1, 0},
      {EventKind::AParameterEvent, maker<AParameterEvent>(), 0x00, 0, -1, 0},
      {EventKind::AAUPresetEvent, maker<AAUPresetEvent>(), 0x00, 0, -1, 0},
  };
  return rows;
}

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
