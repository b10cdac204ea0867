// The event writers: records in the music tracks, reports to the delegate, failure lines, and the dispatcher.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/dispatch/MainQueue.h"
#include "shared/musicsequence/MIDISequence16.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/shared/songtree/support/RecordingSequenceDelegate.h"

namespace {

using sequencetest::eventLog;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

using Write = std::function<void(MIDISequence&)>;

struct WriterRow {
  const char* name;
  Write write;
  int track;             // the music track that receives the event
  std::string record;    // its line in the track's event log
  std::string report;    // the requirement that hears of it
};

std::vector<std::uint8_t> bytes(std::initializer_list<std::uint8_t> list) { return list; }

const std::vector<WriterRow> kWriterRows = {
    {"note", [](MIDISequence& s) { s.createNoteEvent(1.5, 3, 60, 100, 64, 0.5f); }, 3, "1.5 note 3 60 100 64 0.5",
     "note"},
    {"poly pressure", [](MIDISequence& s) { s.createPolyphonicPressureEvent(1.5, 1, 60, 30); }, 1,
     "1.5 channel A1 3C 1E", "poly"},
    {"controller", [](MIDISequence& s) { s.createControllerEvent(1.5, 5, 7, 100); }, 5, "1.5 channel B5 07 64",
     "controller"},
    {"program change", [](MIDISequence& s) { s.createProgramChangeEvent(1.5, 0, 24); }, 0, "1.5 channel C0 18 00",
     "program"},
    {"channel pressure", [](MIDISequence& s) { s.createAfterTouchEvent(1.5, 15, 80); }, 15, "1.5 channel DF 50 00",
     "cp"},
    {"pitch bend", [](MIDISequence& s) { s.createPitchWheelEvent(1.5, 2, 0x00, 0x40); }, 2, "1.5 channel E2 00 40",
     "bend"},
    {"system exclusive", [](MIDISequence& s) { s.createSysExEvent(1.5, 6, bytes({0xF0, 0x7E, 0x7F, 9, 1, 0xF7})); },
     0, "1.5 raw F0 7E 7F 09 01 F7", "sysex"},
    {"time code", [](MIDISequence& s) { s.createSystemTimeCodeEvent(1.5, 0x21); }, 0, "1.5 channel F1 21 00", "mtc"},
    {"song position", [](MIDISequence& s) { s.createSystemSongPositionPointerEvent(1.5, 1, 2); }, 0,
     "1.5 channel F2 01 02", "spp"},
    {"song select", [](MIDISequence& s) { s.createSystemSongSelectEvent(1.5, 5); }, 0, "1.5 channel F3 05 00", "song"},
    {"tune request", [](MIDISequence& s) { s.createSystemTuneRequestEvent(1.5); }, 0, "1.5 channel F6 00 00", "tune"},
    {"clock", [](MIDISequence& s) { s.createSystemTimingClockEvent(1.5); }, 0, "1.5 channel F8 00 00", "clock"},
    {"start", [](MIDISequence& s) { s.createSystemStartEvent(1.5); }, 0, "1.5 channel FA 00 00", "start"},
    {"continue", [](MIDISequence& s) { s.createSystemContinueEvent(1.5); }, 0, "1.5 channel FB 00 00", "continue"},
    {"stop", [](MIDISequence& s) { s.createSystemStopEvent(1.5); }, 0, "1.5 channel FC 00 00", "stop"},
    {"active sensing", [](MIDISequence& s) { s.createSystemActiveSensingEvent(1.5); }, 0, "1.5 channel FE 00 00",
     "sensing"},
    {"system reset", [](MIDISequence& s) { s.createSystemResetEvent(1.5); }, 0, "1.5 channel FF 00 00", "reset"},
    {"meta", [](MIDISequence& s) { s.createMetaEvent(1.5, 6, bytes({0xFF, 0x51, 3, 7, 0xA1, 0x20}), 0x51); }, 0,
     "1.5 meta 51 07 A1 20", "meta"},
    {"sequence number", [](MIDISequence& s) { s.createMetaSequenceNumberEvent(1.5, 0x0102); }, 0,
     "1.5 meta 00 02 01", "seq"},
    {"text", [](MIDISequence& s) { s.createMetaTextEvent(1.5, "Hi"); }, 0, "1.5 meta 01 48 69", "text"},
    {"copyright", [](MIDISequence& s) { s.createMetaCopyrightEvent(1.5, "Hi"); }, 0, "1.5 meta 02 48 69",
     "copyright"},
    {"track name", [](MIDISequence& s) { s.createMetaTrackNameEvent(1.5, "Hi"); }, 0, "1.5 meta 03 48 69",
     "trackname"},
    {"instrument name", [](MIDISequence& s) { s.createMetaInstrumentNameEvent(1.5, "Hi"); }, 0, "1.5 meta 04 48 69",
     "instrument"},
    {"lyrics", [](MIDISequence& s) { s.createMetaLyricsEvent(1.5, "Hi"); }, 0, "1.5 meta 05 48 69", "lyrics"},
    {"marker", [](MIDISequence& s) { s.createMetaMarkerEvent(1.5, "Hi"); }, 0, "1.5 meta 06 48 69", "marker"},
    {"cue point", [](MIDISequence& s) { s.createMetaCuePointEvent(1.5, "Hi"); }, 0, "1.5 meta 07 48 69", "cue"},
    {"program name", [](MIDISequence& s) { s.createMetaProgramNameEvent(1.5, "Hi"); }, 0, "1.5 meta 08 48 69",
     "pname"},
    {"device name", [](MIDISequence& s) { s.createMetaDeviceNameEvent(1.5, "Hi"); }, 0, "1.5 meta 09 48 69",
     "device"},
    {"channel prefix", [](MIDISequence& s) { s.createMetaChannelPrefixEvent(1.5, 3); }, 0, "1.5 meta 20 03",
     "prefix"},
    {"port", [](MIDISequence& s) { s.createMetaMidiPortEvent(1.5, 1); }, 0, "1.5 meta 21 01", "port"},
    {"end of track", [](MIDISequence& s) { s.createMetaEndOfTrackEvent(1.5); }, 0, "1.5 meta 2F", "eot"},
    {"set tempo", [](MIDISequence& s) { s.createMetaSetTempoEvent(1.5, 7, 0xA1, 0x20); }, 0, "1.5 meta 51 07 A1 20",
     "settempo"},
    {"SMPTE offset", [](MIDISequence& s) { s.createMetaSMTPOffsetEvent(1.5, 1, 2, 3, 4, 5); }, 0,
     "1.5 meta 54 01 02 03 04 05", "smpte"},
    {"time signature", [](MIDISequence& s) { s.createMetaTimeSignatureEvent(1.5, 6, 3, 24, 8); }, 0,
     "1.5 meta 58 06 03 18 08", "time"},
    {"key signature", [](MIDISequence& s) { s.createMetaKeySignatureEvent(1.5, 0xFD, 1); }, 0, "1.5 meta 59 FD 01",
     "key"},
    {"sequencer specific", [](MIDISequence& s) { s.createMetaSequencerSpecificEvent(1.5, 10, bytes({1, 2, 3})); }, 0,
     "1.5 meta 7F 01 02 03", "specific"},
};

TEST(MIDISequenceWriting, EachWriterPutsItsRecordIntoItsTrackAndReportsTheVeryEvent) {
  for (const WriterRow& row : kWriterRows) {
    SCOPED_TRACE(row.name);
    const auto sequence = MIDISequence16::create();
    auto delegate = std::make_shared<RecordingSequenceDelegate>();
    sequence->delegate = delegate;
    const auto log = capturedLog([&] { row.write(*sequence); });

    EXPECT_THAT(eventLog(sequence->getTrack(row.track)), ElementsAre(row.record));
    int events = 0;
    for (int i = 0; i < 16; ++i) events += static_cast<int>(eventLog(sequence->getTrack(i)).size());
    EXPECT_EQ(events, 1);
    ASSERT_THAT(delegate->names(), ElementsAre(row.report));
    const auto tree = sequence->getSequenceNode();
    std::shared_ptr<EventNode> node;
    for (const auto& track : tree->tracks) {
      for (const auto& event : track->events) node = event;
    }
    EXPECT_EQ(delegate->reports[0].event, node);
    EXPECT_EQ(node->uid, 1);
    EXPECT_THAT(log, ::testing::Not(Contains(::testing::HasSubstr("Fehler"))));
  }
}

TEST(MIDISequenceWriting, ChannelAndSystemWritesRaiseTheLengthButMetaWritesDoNot) {
  const auto sequence = MIDISequence16::create();
  sequence->createMetaTextEvent(9.0, "late");
  EXPECT_EQ(sequence->getLength(), 0.0);
  sequence->createControllerEvent(4.0, 0, 7, 1);
  sequence->createNoteEvent(2.0, 0, 60, 1, 0, 8.0f);
  EXPECT_EQ(sequence->getLength(), 4.0);
  sequence->createMetaEvent(6.0, 4, {0xFD, 0x01, 0x00, 0x41}, 0x01);
  EXPECT_EQ(sequence->getLength(), 6.0);
  EXPECT_EQ(sequence->getSequenceNode()->tracks[0]->events.size(), 4u);
  sequence->createUserEvent(12.5);
  EXPECT_EQ(sequence->getLength(), 12.5);
  sequence->createExtraEvent(3.0);
  EXPECT_EQ(sequence->getLength(), 12.5);
  EXPECT_EQ(sequence->getSequenceNode()->tracks[0]->events.size(), 4u);
  dispatch::MainQueue::shared().drain();
}

TEST(MIDISequenceWriting, ReportsGoToTheDelegateSetWhenTheyRun) {
  const auto sequence = MIDISequence16::create();
  dispatch::MainQueue::shared().drain();
  sequence->createControllerEvent(1.0, 5, 7, 100);
  EXPECT_EQ(dispatch::MainQueue::shared().drain(), 0u) << "no delegate, nothing queued";

  auto first = std::make_shared<RecordingSequenceDelegate>();
  auto second = std::make_shared<RecordingSequenceDelegate>();
  sequence->delegate = first;
  sequence->createControllerEvent(2.0, 5, 7, 101);
  sequence->delegate = second;
  const auto node = std::static_pointer_cast<MidiControllerEvent>(sequence->getSequenceNode()->tracks[5]->events[1]);
  node->value = 55;
  dispatch::MainQueue::shared().drain();
  EXPECT_THAT(first->names(), IsEmpty());
  ASSERT_THAT(second->names(), ElementsAre("controller"));
  EXPECT_EQ(std::static_pointer_cast<MidiControllerEvent>(second->reports[0].event)->value, 55);

  sequence->createControllerEvent(3.0, 5, 7, 102);
  sequence->delegate.reset();
  EXPECT_EQ(dispatch::MainQueue::shared().drain(), 1u) << "the report runs and is dropped";
  EXPECT_EQ(second->reports.size(), 1u);
}

std::vector<std::string> errorText(OSStatus status, const std::string& explanation) {
  const std::string number = std::to_string(status);
  return {"Fehler: " + number, "The operation couldn\u2019t be completed. (OSStatus error " + number + ".)",
          explanation};
}

TEST(MIDISequenceWriting, RefusedWritesAreLoggedReportNothingAndKeepTheTreeNode) {
  const auto sequence = MIDISequence16::create();
  auto delegate = std::make_shared<RecordingSequenceDelegate>();
  sequence->delegate = delegate;

  const auto noTrack = capturedLog([&] { sequence->createControllerEvent(1.0, 20, 7, 100); });
  EXPECT_THAT(noTrack, Contains("MIDISequence::Fehler: -50. \nEs konnte kein CONTROLLER Eventfür Kanal 20 erzeugt "
                                "werden."));
  EXPECT_EQ(sequence->getSequenceNode()->tracks[15]->events.size(), 1u) << "the tree keeps the clamped node";

  // A system message off channel 0 has no status byte of its own: refused before the platform sees it.
  auto start = std::make_shared<SystemStartEvent>();
  start->channel = 1;
  const auto offChannel = capturedLog([&] { sequence->createSystemStartMessage(start); });
  std::vector<std::string> expected{"1662 Fehler: -50. \nEs konnte kein START Event erzeugt werden."};
  const auto explanation = errorText(-50, "Etwas ist fehlgeschlagen.");
  expected.insert(expected.end(), explanation.begin(), explanation.end());
  EXPECT_EQ(offChannel, expected);

  const auto empty = capturedLog([&] { sequence->createSysExEvent(1.0, 0, {}); });
  EXPECT_THAT(empty, ElementsAre("MIDISequence::Warnung: Es befinden sich keine Einträge im übergebenen Daten "
                                 "Objekt."));
  for (int i = 0; i < 16; ++i) EXPECT_THAT(eventLog(sequence->getTrack(i)), IsEmpty());
  EXPECT_THAT(delegate->names(), IsEmpty());
  EXPECT_EQ(sequence->getLength(), 0.0);
}

TEST(MIDISequenceWriting, LengthsBeyondTheDataWriteOnlyWhatExistsAndLongPayloadsStayWhole) {
  const auto sequence = MIDISequence16::create();
  sequence->createSysExEvent(1.0, 40, {0xF0, 0x7E, 0xF7});
  sequence->createSysExEvent(2.0, 2, {0xF0, 0x7E, 0xF7});
  sequence->createMetaEvent(3.0, 10, {0xFD, 0x01, 0x00, 0x48, 0x69}, 0x01);
  auto lyrics = std::make_shared<MetaLyricsEvent>();
  lyrics->setText(std::string(2000, 'a'));
  sequence->createMetaLyricsMessage(lyrics);
  dispatch::MainQueue::shared().drain();

  const auto log = eventLog(sequence->getTrack(0));
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], "0 meta 05" + [] {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += " 61";
    return text;
  }());
  EXPECT_EQ(log[1], "1 raw F0 7E F7");
  EXPECT_EQ(log[2], "2 raw F0 7E");
  EXPECT_EQ(log[3], "3 meta 01 48 69");
}

TEST(MIDISequenceWriting, CreateMetaEventIgnoresShortMessagesAndNotesTheRest) {
  const auto sequence = MIDISequence16::create();
  const auto shortLog = capturedLog([&] { sequence->createMetaEvent(1.0, 3, {0xFF, 0x51, 0x03}, 0x51); });
  EXPECT_THAT(shortLog, IsEmpty());
  EXPECT_TRUE(sequence->getSequenceNode()->tracks[0]->events.empty());

  const auto log =
      capturedLog([&] { sequence->createMetaEvent(2.0, 6, {255, 81, 3, 7, 161, 32}, 0x51); });
  EXPECT_THAT(log, ElementsAre("META: length: 6, data : [255, 81, 3, 7, 161, 32]"));
  const auto node = eventCast<MetaEvent>(sequence->getSequenceNode()->tracks[0]->events.at(0));
  ASSERT_TRUE(node);
  EXPECT_EQ(node->kind(), EventKind::MetaEvent);
  EXPECT_EQ(node->length, 6u);

  sequence->createMetaSequencerSpecificEvent(3.0, 10, {1, 2, 3});
  EXPECT_EQ(eventCast<MetaSequencerSpecificEvent>(sequence->getSequenceNode()->tracks[0]->events.at(1))->length, 3u);
}

struct DispatchRow {
  const char* name;
  std::function<std::shared_ptr<EventNode>()> make;
  std::vector<std::string> log;
  std::vector<std::string> track0;
  std::vector<std::string> reports;
};

template <class Event>
std::shared_ptr<EventNode> node(std::function<void(Event&)> fill = [](Event&) {}) {
  auto event = std::make_shared<Event>();
  fill(*event);
  return event;
}

const std::vector<DispatchRow> kDispatchRows = {
    {"note", [] { return node<MidiNoteEvent>([](auto& e) { e.number = 60; e.velocity = 90; e.duration = 1; }); },
     {"MIDISequence::Info: Eine Note wurde hinzugefügt."}, {"0 note 0 60 90 0 1"}, {"note"}},
    {"note whose kind became note-off",
     [] { return node<MidiNoteEvent>([](auto& e) { e.statusMask = 0x80; }); },
     {"MIDISequence::Info: Note Off nicht unterstützt."}, {}, {}},
    {"poly pressure", [] { return node<MidiPolyPressureEvent>(); },
     {"MIDISequence::Info: Es wurde ein Polyphonic Aftertouch Event hinzugefügt."}, {"0 channel A0 00 00"}, {"poly"}},
    {"controller", [] { return node<MidiControllerEvent>([](auto& e) { e.number = 7; }); },
     {"MIDISequence::Info: ."}, {"0 channel B0 07 00"}, {"controller"}},
    {"system reset", [] { return node<SystemResetEvent>(); }, {"MIDISequence::Info: ."}, {"0 channel FF 00 00"},
     {"reset"}},
    {"user event of the reset's kind", [] { return node<UserEvent>([](auto& e) { e.data = {1, 2}; }); },
     {"MIDISequence::Warnung: Ein Element konnte der Sequenz nicht zugeordnet werden."}, {}, {}},
    {"controller whose kind became a note",
     [] { return node<MidiControllerEvent>([](auto& e) { e.statusMask = 0x90; }); },
     {"MIDISequence::Warnung: Ein Element konnte der Sequenz nicht zugeordnet werden."}, {}, {}},
    {"undefined status", [] { return node<EventNode>([](auto& e) { e.statusMask = 0xF4; }); },
     {"MIDISequence::Warnung: Ein Element konnte der Sequenz nicht zugeordnet werden."}, {}, {}},
    {"data byte as status", [] { return node<EventNode>([](auto& e) { e.statusMask = 0x40; }); },
     {"MIDISequence::Warnung: Ein Element konnte der Sequenz nicht zugeordnet werden."}, {}, {}},
    {"tempo marker", [] { return node<TempoEvent>(); },
     {"MIDISequence::Warnung: Ein üngültiges META Element (0x00) wurde gefunden."}, {}, {}},
    {"meta type without writer", [] { return node<MetaEvent>([](auto& e) { e.type = 0x0A; e.data = {1}; }); }, {},
     {}, {}},
    {"unknown meta", [] { return node<MetaUnknownEvent>([](auto& e) { e.data = {1}; }); }, {}, {}, {}},
    {"text meta", [] { return node<MetaTextEvent>([](auto& e) { e.setText("A"); }); }, {}, {"0 meta 01 41"},
     {"text"}},
    {"plain meta of a written type",
     [] {
       return node<MetaEvent>([](auto& e) {
         e.type = 0x01;
         e.data = {0xFD, 0x01, 0x00, 0x48, 0x69};
         e.length = 5;
       });
     },
     {}, {"0 meta 01 48 69"}, {"meta"}},
    {"meta class whose type names another class",
     [] { return node<MetaTextEvent>([](auto& e) { e.type = 0x51; e.setText("A"); }); },
     {"MIDISequence::Warnung: Ein Element konnte der Sequenz nicht zugeordnet werden."}, {}, {}},
};

TEST(MIDISequenceWriting, TheDispatcherWritesByKindAndPassesOverWhatItCannotWrite) {
  for (const DispatchRow& row : kDispatchRows) {
    SCOPED_TRACE(row.name);
    const auto sequence = MIDISequence16::create();
    auto delegate = std::make_shared<RecordingSequenceDelegate>();
    sequence->delegate = delegate;
    const auto event = row.make();
    const auto log = capturedLog([&] { sequence->eventsToMusicTrack(event, sequence->getTrack(3), 0.0); });
    EXPECT_EQ(log, row.log);
    EXPECT_EQ(eventLog(sequence->getTrack(0)), row.track0);
    EXPECT_EQ(delegate->names(), row.reports);
  }
}

TEST(MIDISequenceWriting, TheDispatcherMovesTheNodeByTheOffsetEachTimeAndChecksItsArguments) {
  const auto sequence = MIDISequence16::create();
  auto event = std::make_shared<MidiControllerEvent>();
  event->position = 1.0;
  const auto log = capturedLog([&] {
    sequence->eventsToMusicTrack(event, sequence->getTrack(0), 4.0);
    sequence->eventsToMusicTrack(event, sequence->getTrack(0), 4.0);
  });
  EXPECT_THAT(log, ElementsAre("MIDISequence::Info: .", "MIDISequence::Info: ."));
  EXPECT_EQ(event->position, 9.0);
  EXPECT_THAT(eventLog(sequence->getTrack(0)), ElementsAre("5 channel B0 00 00", "9 channel B0 00 00"));

  EXPECT_THAT(capturedLog([&] { sequence->eventsToMusicTrack(event, MusicTrack{}, 0.0); }),
              ElementsAre("MIDISequence::Fehler: Die Ziel Spur ist undefiniert."));
  EXPECT_THAT(capturedLog([&] { sequence->eventsToMusicTrack(nullptr, sequence->getTrack(0), 0.0); }),
              ElementsAre("MIDISequence::Fehler: Das Event ist undefiniert."));
  sequence->setMusicSequence(nullptr);
  EXPECT_THAT(capturedLog([&] { sequence->eventsToMusicTrack(event, MusicTrack{}, 0.0); }),
              ElementsAre("MIDISequence::Fehler: Die Ziel Sequenz ist undefiniert."));
  EXPECT_EQ(event->position, 9.0);
}

}  // namespace
