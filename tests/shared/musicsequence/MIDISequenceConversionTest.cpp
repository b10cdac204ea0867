#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/foundation/NumberText.h"
#include "platform/musicsequence/MusicTrack.h"
#include "shared/musicsequence/MIDISequence.h"
#include "shared/musicsequence/MIDISequence16.h"
#include "tests/shared/midievents/CapturedLog.h"

namespace {

using foundation::numberText;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using EventList = std::vector<std::shared_ptr<AUMIDIEventEx>>;

// "<sample time> <type> <cable> <bytes> b<beats> d<duration> m<meta>", for example
// "22050 8 1 92 3C 64 b1.0 d0.5 m127"; more than 16 bytes are given as their count ("3000 bytes").
std::string describeRow(const AUMIDIEventEx& row) {
  const AUMIDIEvent& header = *row.pEvent();
  std::string text = std::to_string(header.eventSampleTime) + " " + std::to_string(header.eventType) + " " +
                     std::to_string(header.cable);
  if (row.length() > 16) {
    text += " " + std::to_string(row.length()) + " bytes";
  } else {
    char hex[4];
    for (std::uint8_t byte : row.array()) {
      std::snprintf(hex, sizeof hex, " %02X", byte);
      text += hex;
    }
  }
  return text + " b" + numberText(row.beats) + " d" + numberText(row.duration) + " m" + std::to_string(row.meta);
}

std::vector<std::string> describeList(const EventList& list) {
  std::vector<std::string> rows;
  for (const auto& row : list) rows.push_back(describeRow(*row));
  return rows;
}

void addNote(const MusicTrack& track, double beat, std::uint8_t channel, std::uint8_t key, float duration) {
  const MIDINoteMessage note{channel, key, 100, 0, duration};
  ASSERT_EQ(MusicTrackNewMIDINoteEvent(track, beat, &note), noErr);
}

void addChannelMessage(const MusicTrack& track, double beat, std::uint8_t status, std::uint8_t data1,
                       std::uint8_t data2 = 0) {
  const MIDIChannelMessage message{status, data1, data2, 0};
  ASSERT_EQ(MusicTrackNewMIDIChannelEvent(track, beat, &message), noErr);
}

void addTextMeta(const MusicTrack& track, double beat) {
  alignas(MIDIMetaEvent) std::uint8_t record[12] = {0x01, 0, 0, 0, 2, 0, 0, 0, 'H', 'i'};
  ASSERT_EQ(MusicTrackNewMetaEvent(track, beat, reinterpret_cast<const MIDIMetaEvent*>(record)), noErr);
}

EventList convert(const std::shared_ptr<MIDISequence>& sequence, double samplerate, std::uint8_t cable) {
  EventList list;
  capturedLog([&] {
    sequence->musicSequenceToSequenceNode();
    list = sequence->nodesToAUMIDIEvent(samplerate, cable);
  });
  return list;
}

TEST(MIDISequenceConversion, ASongBecomesASortedListOnTheGridWithTheTempoMarkersFirst) {
  const auto sequence = MIDISequence16::create();
  capturedLog([&] {
    sequence->setTempo(120.0);
    sequence->setTempo(90.0, 4.0);
    sequence->setTempo(300.0, 8.0);
  });
  addChannelMessage(sequence->getTrack(0), 4.0, 0xB0, 7, 100);
  addTextMeta(sequence->getTrack(0), 3.0);
  addChannelMessage(sequence->getTrack(1), 0.0, 0xC1, 5);
  addNote(sequence->getTrack(2), 1.0, 2, 60, 0.5f);
  addNote(sequence->getTrack(2), 2.0, 2, 64, 0.0f);
  addChannelMessage(sequence->getTrack(3), 5.0, 0xE3, 0x00, 0x40);
  addChannelMessage(sequence->getTrack(3), 5.0, 0xD3, 20);
  addChannelMessage(sequence->getTrack(3), 5.0, 0xA3, 40, 30);

  const EventList list = convert(sequence, 44100.0, 1);
  EXPECT_THAT(describeList(list), ElementsAre("0 9 0 FD 51 78 FF 51 03 03 93 87 b0.0 d120.0 m127",
                                              "0 8 1 C1 05 b0.0 d0.0 m127",
                                              "22050 8 1 92 3C 64 b1.0 d0.5 m127",
                                              "33075 8 1 82 3C 00 b1.5 d0.0 m127",
                                              "44100 8 1 92 40 64 b2.0 d0.0 m127",
                                              "44100 8 1 82 40 00 b2.0 d0.0 m127",
                                              "66150 9 1 FD 01 00 48 69 b3.0 d0.0 m1",
                                              "88200 9 0 FD 51 5A FF 51 03 02 AE A5 b0.0 d90.0 m127",
                                              "88200 8 1 B0 07 64 b4.0 d0.0 m127",
                                              "110250 8 1 E3 00 40 b5.0 d0.0 m127",
                                              "110250 8 1 D3 14 b5.0 d0.0 m127",
                                              "110250 8 1 A3 28 1E b5.0 d0.0 m127",
                                              "176400 9 0 FD 51 78 FF 51 03 08 F0 D1 b0.0 d300.0 m127"));
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i]->id, static_cast<std::int64_t>(i));
    if (list[i]->data()[0] != 0xFD || list[i]->data()[1] != 0x51) {
      EXPECT_EQ(list[i]->pEvent()->eventSampleTime,
                static_cast<AUEventSampleTime>(std::trunc(22050.0 * list[i]->beats)))
          << describeRow(*list[i]);
    }
  }
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](const auto& a, const auto& b) {
    return a->pEvent()->eventSampleTime < b->pEvent()->eventSampleTime;
  }));
}

TEST(MIDISequenceConversion, NoteTimesFollowTheSampleRate) {
  const struct {
    double samplerate;
    AUEventSampleTime on;
    AUEventSampleTime off;
  } cases[] = {{44100.0, 22050, 33075}, {48000.0, 24000, 36000}, {96000.0, 48000, 72000}, {22050.0, 11025, 16537}};
  for (const auto& c : cases) {
    const auto sequence = MIDISequence16::create();
    addNote(sequence->getTrack(2), 1.0, 2, 60, 0.5f);
    const EventList list = convert(sequence, c.samplerate, 0);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->pEvent()->eventSampleTime, c.on) << c.samplerate;
    EXPECT_EQ(list[1]->pEvent()->eventSampleTime, c.off) << c.samplerate;
  }
}

std::shared_ptr<TrackNode> firstTrack(const std::shared_ptr<MIDISequence>& sequence) {
  return sequence->getSequenceNode()->tracks[0];
}

template <class Node>
std::shared_ptr<Node> addNode(const std::shared_ptr<MIDISequence>& sequence, double position) {
  auto node = std::make_shared<Node>();
  node->position = position;
  firstTrack(sequence)->addEvent(node);
  return node;
}

TEST(MIDISequenceConversion, EventsWithoutAMidiFormAreLoggedAndTheUnsendableAreRefused) {
  const auto sequence = MIDISequence::create();
  addNode<UnknownEvent>(sequence, 2.0);
  addNode<UserEvent>(sequence, 0.0)->setData(2, std::vector<std::uint8_t>{0, 1});
  addNode<MetaTextEvent>(sequence, 0.0);
  addNode<MetaTextEvent>(sequence, 0.0)->data = {'x'};
  std::vector<std::uint8_t> sysEx(3000, 0x22);
  sysEx.front() = 0xF0;
  sysEx.back() = 0xF7;
  addNode<SystemExclusiveEvent>(sequence, 1.0)->setData(3000, sysEx);
  std::vector<std::uint8_t> hugeSysEx(70000, 0x22);
  hugeSysEx.front() = 0xF0;
  hugeSysEx.back() = 0xF7;
  addNode<SystemExclusiveEvent>(sequence, 1.0)->setData(70000, hugeSysEx);
  addNode<MidiControllerEvent>(sequence, 1e300);
  addNode<MidiNoteEvent>(sequence, 1.0)->duration = 1e30f;
  // Start and length fit 64 bits each, their sum does not.
  addNode<MidiNoteEvent>(sequence, 0x1p48)->duration = 0x1p48f;
  addNode<MidiControllerEvent>(sequence, 1.0)->channel = 20;

  EventList list;
  const auto log = capturedLog([&] { list = sequence->nodesToAUMIDIEvent(44100.0, 0); });
  EXPECT_THAT(describeList(list),
              ElementsAre("22050 9 0 3000 bytes b1.0 d0.0 m127", "44100 8 0 00 00 00 b0.0 d0.0 m127"));
  EXPECT_EQ(list[0]->array(), sysEx);
  for (const char* line : {" U S E R E V E N T : length = 2", "error: data of user event is 0.",
                           "error: data count of meta is zero.", "error: meta length is smaller than 1.",
                           " S Y S E X : length = 3000", " S Y S E X : length = 70000",
                           "error: user event of 70000 bytes does not fit a render event.",
                           "error: sample time of event at beat 1e+300 does not fit 64 bits.",
                           "error: sample time of event at beat 1.0000000150474662e+30 does not fit 64 bits.",
                           "error: sample time of event at beat 562949953421312.0 does not fit 64 bits.",
                           "error: channel 20 of event is not a MIDI channel.",
                           "INVALID EVENT (status): AUMIDIEventEx(sampleTime: 44100, type: 8, cable: 0, length: 3, "
                           "data:  0 0 0)"}) {
    EXPECT_THAT(log, Contains(line));
  }

  // A tree without events gives the tempo markers alone.
  for (const auto& track : sequence->getSequenceNode()->tracks) track->clear();
  capturedLog([&] {
    sequence->setTempo(60.0);
    list = sequence->nodesToAUMIDIEvent(44100.0, 0);
  });
  EXPECT_THAT(describeList(list), ElementsAre("0 9 0 FD 51 3C FF 51 03 01 C9 C3 b0.0 d60.0 m127"));
  EXPECT_EQ(list[0]->id, 0);
}

std::string describePlain(const AUMIDIEvent& record) {
  char bytes[16];
  std::snprintf(bytes, sizeof bytes, "%02X %02X %02X", record.data[0], record.data[1], record.data[2]);
  return std::to_string(record.eventSampleTime) + " " + std::to_string(record.eventType) + " " +
         std::to_string(record.cable) + " " + std::to_string(record.length) + " " + bytes;
}

TEST(MIDISequenceConversion, ThePlainFormGivesThreeByteRecordsWithoutMarkers) {
  const auto sequence = MIDISequence::create();
  capturedLog([&] { sequence->setTempo(60.0); });
  auto note = addNode<MidiNoteEvent>(sequence, 1.0);
  note->channel = 2;
  note->number = 60;
  note->velocity = 100;
  note->duration = 0.5f;
  auto program = addNode<MidiProgramChangeEvent>(sequence, 0.0);
  program->channel = 1;
  program->value = 5;
  addNode<MidiChannelPressureEvent>(sequence, 1.0)->value = 20;
  addNode<MetaTextEvent>(sequence, 0.5)->setData(2, std::vector<std::uint8_t>{'H', 'i'});
  addNode<MetaTextEvent>(sequence, 0.5)->setData(1, std::vector<std::uint8_t>{0});
  addNode<UserEvent>(sequence, 0.25)->setData(2, std::vector<std::uint8_t>{0x10, 1});
  addNode<UserEvent>(sequence, 0.25)->setData(2, std::vector<std::uint8_t>{0, 1});
  addNode<UnknownEvent>(sequence, 2.0);

  std::vector<AUMIDIEvent> list;
  const auto log = capturedLog([&] { list = sequence->nodesToAUMIDIEvent(48000.0); });
  std::vector<std::string> rows;
  for (const AUMIDIEvent& record : list) rows.push_back(describePlain(record));
  EXPECT_THAT(rows, ElementsAre("0 8 0 3 C1 05 00", "6000 9 0 3 F0 00 00", "12000 8 0 3 FD 01 00",
                                "24000 8 0 3 92 3C 64", "24000 8 0 3 D0 14 00", "36000 8 0 3 82 3C 00"));
  EXPECT_THAT(log, ElementsAre("stop", "INVALID EVENT (type): AUMIDIEvent(sampleTime: 6000, type: 9, cable: 0, "
                                       "length: 3, data: 240 0 0)"));
  for (const AUMIDIEvent& record : list) EXPECT_EQ(record.next, nullptr);
}

}  // namespace
