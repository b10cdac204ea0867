#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "platform/musicsequence/MusicTrack.h"
#include "shared/musicsequence/MIDISequence.h"
#include "shared/musicsequence/MIDISequence16.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/shared/songtree/support/RecordingSequenceDelegate.h"
#include "tests/shared/musicsequence/support/SongTreeLog.h"
#include "tests/support/TestFolder.h"

namespace {

using sequencetest::trackLog;
using sequencetest::treeLog;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;

// A format 1 file: a tempo map with three tempos, a piano part on channel 0, a bass part on channel 3 with a
// system-exclusive message, track names and a lyric.
constexpr const char* kSongCsv = R"(0, 0, Header, 1, 3, 480
1, 0, Start_track
1, 0, Title_t, "Song"
1, 0, Time_signature, 4, 2, 24, 8
1, 0, Tempo, 500000
1, 1920, Tempo, 600000
1, 3840, Tempo, 200000
1, 3840, End_track
2, 0, Start_track
2, 0, Title_t, "Pno"
2, 0, Program_c, 0, 5
2, 0, Note_on_c, 0, 60, 100
2, 240, Note_off_c, 0, 60, 0
2, 480, Control_c, 0, 7, 100
2, 480, Pitch_bend_c, 0, 8192
2, 960, Lyric_t, "la"
2, 960, Note_on_c, 0, 64, 90
2, 1920, Note_off_c, 0, 64, 0
2, 1920, End_track
3, 0, Start_track
3, 0, Title_t, "Bs"
3, 240, Program_c, 3, 33
3, 480, Note_on_c, 3, 40, 80
3, 720, Note_off_c, 3, 40, 64
3, 720, System_exclusive, 3, 126, 127, 247
3, 1440, Channel_aftertouch_c, 3, 20
3, 1440, Poly_aftertouch_c, 3, 40, 30
3, 1440, End_track
0, 0, End_of_file
)";

// A variable-length platform record (meta, raw data or user data): its head, then the payload.
class VariableRecord {
 public:
  VariableRecord(std::vector<std::uint8_t> head, const std::vector<std::uint8_t>& payload)
      : words_((head.size() + payload.size()) / 8 + 2) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(words_.data());
    std::memcpy(bytes, head.data(), head.size());
    std::memcpy(bytes + head.size(), payload.data(), payload.size());
  }
  template <class Record>
  const Record* as() const {
    return reinterpret_cast<const Record*>(words_.data());
  }

 private:
  std::vector<std::uint64_t> words_;
};

std::vector<std::uint8_t> littleEndian32(std::size_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

void addMeta(const MusicTrack& track, double beat, std::uint8_t type, const std::vector<std::uint8_t>& payload) {
  auto head = std::vector<std::uint8_t>{type, 0, 0, 0};
  const auto length = littleEndian32(payload.size());
  head.insert(head.end(), length.begin(), length.end());
  const VariableRecord record(head, payload);
  ASSERT_EQ(MusicTrackNewMetaEvent(track, beat, record.as<MIDIMetaEvent>()), noErr);
}

void addRawData(const MusicTrack& track, double beat, const std::vector<std::uint8_t>& payload) {
  const VariableRecord record(littleEndian32(payload.size()), payload);
  ASSERT_EQ(MusicTrackNewMIDIRawDataEvent(track, beat, record.as<MIDIRawData>()), noErr);
}

void addUserData(const MusicTrack& track, double beat, const std::vector<std::uint8_t>& payload) {
  const VariableRecord record(littleEndian32(payload.size()), payload);
  ASSERT_EQ(MusicTrackNewUserEvent(track, beat, record.as<MusicEventUserData>()), noErr);
}

void addChannelMessage(const MusicTrack& track, double beat, std::uint8_t status, std::uint8_t data1 = 0,
                       std::uint8_t data2 = 0) {
  const MIDIChannelMessage message{status, data1, data2, 0};
  ASSERT_EQ(MusicTrackNewMIDIChannelEvent(track, beat, &message), noErr);
}

void addNote(const MusicTrack& track, double beat, std::uint8_t channel, std::uint8_t key, float duration) {
  const MIDINoteMessage note{channel, key, 100, 0, duration};
  ASSERT_EQ(MusicTrackNewMIDINoteEvent(track, beat, &note), noErr);
}

std::vector<std::string> errorText(OSStatus status) {
  const std::string number = std::to_string(status);
  return {"Fehler: " + number, "The operation couldn\u2019t be completed. (OSStatus error " + number + ".)",
          "Etwas ist fehlgeschlagen."};
}

std::set<const EventNode*> treeNodes(const SequenceNode& tree) {
  std::set<const EventNode*> nodes;
  for (const auto& event : tree.tempoTrack->events) nodes.insert(event.get());
  for (const auto& track : tree.tracks) {
    for (const auto& event : track->events) nodes.insert(event.get());
  }
  return nodes;
}

TEST(MIDISequenceReading, AFormatOneFileBecomesTheTreeAndEveryEventIsReportedOnceInFileOrder) {
  const testsupport::TestFolder folder;
  const auto file = sequencetest::midiFromCsv(folder.path(), "song", kSongCsv);
  const auto sequence = MIDISequence16::create();
  const auto delegate = std::make_shared<RecordingSequenceDelegate>();
  sequence->delegate = delegate;
  sequence->loadFromFile(file);
  const auto log = capturedLog([&] { sequence->musicSequenceToSequenceNode(); });
  EXPECT_THAT(log, IsEmpty());

  const auto tree = treeLog(*sequence->getSequenceNode());
  ASSERT_EQ(tree.size(), 17u);
  EXPECT_THAT(tree[0], ElementsAre("0.0 TempoEvent 120.0", "4.0 TempoEvent 100.0", "8.0 TempoEvent 300.0"));
  // Platform track 0 holds channel 0; the time signature of the tempo map and the sysex and lyric of the last
  // platform track (the one for system-exclusive and meta events) land in track 0 as well.
  EXPECT_THAT(tree[1], ElementsAre("0.0 MetaTimeSignatureEvent 58 04 02 18 08", "0.0 MidiProgramChangeEvent 0 5",
                                   "0.0 MidiNoteEvent 0 60 100 0 0.5", "1.0 MidiControllerEvent 0 7 100",
                                   "1.0 MidiPitchBendEvent 0 0 64", "2.0 MidiNoteEvent 0 64 90 0 2.0",
                                   "1.5 SystemExclusiveEvent F0 7E 7F F7", "2.0 MetaLyricsEvent 05 6C 61"));
  EXPECT_THAT(tree[2], IsEmpty());
  // Track names stay with the platform track they were read from: the third, which holds the file's meta events.
  EXPECT_THAT(tree[3], ElementsAre("0.0 MetaTrackNameEvent 03 53 6F 6E 67", "0.0 MetaTrackNameEvent 03 50 6E 6F",
                                   "0.0 MetaTrackNameEvent 03 42 73"));
  EXPECT_THAT(tree[4], ElementsAre("0.5 MidiProgramChangeEvent 3 33", "1.0 MidiNoteEvent 3 40 80 64 0.5",
                                   "3.0 MidiChannelPressureEvent 3 20", "3.0 MidiPolyPressureEvent 3 40 30"));
  for (std::size_t i = 5; i < tree.size(); ++i) EXPECT_THAT(tree[i], IsEmpty()) << i;

  EXPECT_THAT(delegate->names(),
              ElementsAre("time", "tempo", "tempo", "tempo", "program", "note", "controller", "bend", "note", "program",
                          "note", "cp", "poly", "trackname", "trackname", "trackname", "sysex", "lyrics"));
  std::set<const EventNode*> reported;
  std::int64_t previousUid = 0;
  for (const auto& report : delegate->reports) {
    reported.insert(report.event.get());
    EXPECT_GT(report.event->uid, previousUid) << "reported right after it was added";
    previousUid = report.event->uid;
  }
  EXPECT_EQ(reported.size(), delegate->reports.size());
  EXPECT_EQ(reported, treeNodes(*sequence->getSequenceNode()));

  EXPECT_EQ(sequence->getLength(), 8.0);
  EXPECT_EQ(sequence->getPatchForChannel(0), 5);
  EXPECT_EQ(sequence->getPatchForChannel(3), 33);
  EXPECT_EQ(sequence->getPatchForChannel(9), 0);
  EXPECT_EQ(sequence->getChannelAssignment(0), 0);
  EXPECT_EQ(sequence->getChannelAssignment(1), 3);
  EXPECT_EQ(sequence->getChannelAssignment(2), 0);
  EXPECT_EQ(sequence->getChannelAssignment(3), 0);

  // Reading again gives the same tree with new identifiers.
  const auto firstUid = sequence->getSequenceNode()->tracks[0]->events[0]->uid;
  sequence->musicSequenceToSequenceNode();
  EXPECT_EQ(treeLog(*sequence->getSequenceNode()), tree);
  EXPECT_NE(sequence->getSequenceNode()->tracks[0]->events[0]->uid, firstUid);
}

TEST(MIDISequenceReading, EventsLandInTheTracksOfTheirKindAndPayloadsAreCarriedWhole) {
  const auto sequence = MIDISequence16::create();
  const auto delegate = std::make_shared<RecordingSequenceDelegate>();
  sequence->delegate = delegate;
  const MusicTrack track = sequence->getTrack(3);
  std::vector<std::uint8_t> longText(5000, 'a');
  std::vector<std::uint8_t> longSysEx(3000, 0x11);
  longSysEx.front() = 0xF0;
  longSysEx.back() = 0xF7;
  addMeta(track, 0.0, 0x03, {'P', 'n'});
  addMeta(track, 0.0, 0x05, {'l', 'a'});
  addNote(track, 1.0, 5, 60, 0.5f);
  addChannelMessage(track, 1.0, 0xF8);
  addChannelMessage(track, 1.0, 0x85, 60, 0);
  addMeta(track, 2.0, 0x4B, {1});
  addMeta(track, 2.0, 0x01, longText);
  addRawData(track, 3.0, longSysEx);
  addUserData(track, 3.0, {1, 2});
  addChannelMessage(track, 4.0, 0xC9, 24);
  addNote(track, 63.0, 2, 40, 2.0f);

  EXPECT_THAT(capturedLog([&] { sequence->musicSequenceToSequenceNode(); }),
              ElementsAre("MIDISequence::Warnung: Unbekanntes Meta Event erhalten."));
  const auto tree = treeLog(*sequence->getSequenceNode());
  EXPECT_THAT(tree[1], ElementsAre("0.0 MetaLyricsEvent 05 6C 61", "1.0 UnknownEvent", "2.0 MetaUnknownEvent FF 01",
                                   "2.0 MetaTextEvent 01 5000 bytes", "3.0 SystemExclusiveEvent 3000 bytes",
                                   "3.0 UserEvent 01 02"));
  EXPECT_THAT(tree[3], ElementsAre("63.0 MidiNoteEvent 2 40 100 0 2.0"));
  EXPECT_THAT(tree[4], ElementsAre("0.0 MetaTrackNameEvent 03 50 6E"));
  EXPECT_THAT(tree[6], ElementsAre("1.0 MidiNoteEvent 5 60 100 0 0.5"));
  EXPECT_THAT(tree[10], ElementsAre("4.0 MidiProgramChangeEvent 9 24"));
  EXPECT_THAT(delegate->names(), ElementsAre("trackname", "lyrics", "note", "unknown", "unknownmeta", "text", "sysex",
                                             "user", "program", "note"));

  const auto& text = static_cast<const MetaTextEvent&>(*sequence->getSequenceNode()->tracks[0]->events[3]);
  EXPECT_EQ(text.length, 5000u);
  EXPECT_EQ(text.data, longText);
  const auto& sysEx = static_cast<const SystemExclusiveEvent&>(*sequence->getSequenceNode()->tracks[0]->events[4]);
  EXPECT_EQ(sysEx.length, 3000u);
  EXPECT_EQ(sysEx.data, longSysEx) << "a cut message would leave without its closing F7";

  EXPECT_EQ(sequence->getPatchForChannel(9), 24);
  EXPECT_EQ(sequence->getLength(), 63.0) << "the latest start, not the end of the last note";
  EXPECT_EQ(sequence->getChannelAssignment(3), 2) << "the channel of the track's last channel event";
  EXPECT_EQ(sequence->getChannelAssignment(2), 0) << "an empty track keeps channel 0";
}

TEST(MIDISequenceReading, TracksBeyondTheMaximumAreWarnedAboutAndReadAllTheSame) {
  const auto sequence = MIDISequence::create();
  sequence->create(20);
  addChannelMessage(sequence->getTrack(19), 0.0, 0xB0, 7, 100);
  const std::string warning =
      "MIDISequence::Warnung: Die Anzahl der Spuren (20) in der Sequenz ist größer als das "
      "Maximum: 16.";
  EXPECT_THAT(capturedLog([&] { sequence->musicSequenceToSequenceNode(); }),
              ElementsAre(warning, warning, warning, warning));
  EXPECT_THAT(trackLog(*sequence->getSequenceNode()->tracks[0]), ElementsAre("0.0 MidiControllerEvent 0 7 100"));
  EXPECT_EQ(sequence->getChannelAssignment(15), 0);
}

// An observer that edits the platform track while it is being read: the walk must not read on from a stale position.
class EditingDelegate : public RecordingSequenceDelegate {
 public:
  explicit EditingDelegate(MusicTrack track) : track_(std::move(track)) {}
  void foundControllerEvent(const std::shared_ptr<MidiControllerEvent>& event) override {
    RecordingSequenceDelegate::foundControllerEvent(event);
    addChannelMessage(track_, 0.5, 0xB0, 10, 64);
  }

 private:
  MusicTrack track_;
};

TEST(MIDISequenceReading, ATrackThatChangesWhileItIsReadBuildsNoNodeFromStaleData) {
  const auto sequence = MIDISequence::create();
  const MusicTrack track = sequence->getTrack(0);
  addChannelMessage(track, 0.0, 0xB0, 7, 100);
  addChannelMessage(track, 1.0, 0xB0, 7, 90);
  const auto delegate = std::make_shared<EditingDelegate>(track);
  sequence->delegate = delegate;
  std::vector<std::string> expected{"MIDISequence::Warnung: -50. \nDas Folge Event konnte nicht ermittelt werden."};
  for (const auto& line : errorText(-50)) expected.push_back(line);
  expected.push_back("MIDISequence::Warnung: -50. \nDas Folge Event konnte nicht abgerufen werden (Ende der Spur?).");
  for (const auto& line : errorText(-50)) expected.push_back(line);
  EXPECT_EQ(capturedLog([&] { sequence->musicSequenceToSequenceNode(); }), expected);
  EXPECT_THAT(trackLog(*sequence->getSequenceNode()->tracks[0]), ElementsAre("0.0 MidiControllerEvent 0 7 100"));
}

TEST(MIDISequenceReading, WithoutSequenceOrTrackNothingIsRead) {
  const auto sequence = MIDISequence::create();
  addChannelMessage(sequence->getTrack(0), 0.0, 0xB0, 7, 100);
  EXPECT_THAT(capturedLog([&] { sequence->iterateEvents(MusicTrack{}, 0); }),
              ElementsAre("Fehler: Die Spur ist undefiniert."));
  sequence->setMusicSequence(nullptr);
  EXPECT_THAT(capturedLog([&] { sequence->musicSequenceToSequenceNode(); }),
              ElementsAre("MIDISequence::Fehler: Die Sequenz ist undefiniert."));
  EXPECT_THAT(trackLog(*sequence->getSequenceNode()->tracks[0]), IsEmpty());
}

TEST(MIDISequencePayloads, RecordsAppendTheirPayloadInUseToTheEventData) {
  MIDIRawDataEx raw;
  raw.length = 3;
  raw.data.bytes[0] = 0xF0;
  raw.data.bytes[1] = 0x7E;
  raw.data.bytes[2] = 0xF7;
  raw.data.bytes[3] = 0x55;
  SystemExclusiveEvent sysEx;
  sysEx.setData(1, std::vector<std::uint8_t>{0x01});
  MIDISequence::copyRawDataPayload(raw, sysEx);
  EXPECT_EQ(sysEx.data, (std::vector<std::uint8_t>{0x01, 0xF0, 0x7E, 0xF7})) << "appended after what was there";
  EXPECT_EQ(sysEx.length, 4u);

  MusicEventUserDataEx user;
  UserEvent empty;
  MIDISequence::copyRawDataPayload(user, empty);
  EXPECT_TRUE(empty.data.empty());

  MIDIMetaEventEx meta;
  meta.metaEventType = 0x01;
  meta.dataLength = 5000;
  meta.data.bytes.fill(0x41);
  MetaTextEvent text;
  MIDISequence::copyMetaEventPayload(meta, text);
  EXPECT_EQ(text.data, std::vector<std::uint8_t>(1024, 0x41)) << "a declared length beyond the record is capped";
}

}  // namespace
