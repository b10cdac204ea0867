#include <gtest/gtest.h>

#include "shared/midievents/MIDIEvents.h"
#include "shared/songtree/SequenceNode.h"
#include "tests/shared/midievents/CapturedLog.h"

namespace {

using Lines = std::vector<std::string>;

TEST(PatternNodeTest, NewPatternHoldsItsDefaults) {
  const PatternNode pattern;
  EXPECT_EQ(pattern.id, 0);
  EXPECT_EQ(pattern.channel, 0);
  EXPECT_EQ(pattern.bars, 1);
  EXPECT_EQ(pattern.beats, 4);
  EXPECT_EQ(pattern.offset, 0.0);
  EXPECT_FALSE(pattern.loop || pattern.mute || pattern.solo);
  const Lines texts = {pattern.text,           pattern.name,        pattern.deviceName, pattern.instrumentName,
                       pattern.programName,    pattern.lyrics,      pattern.marker,     pattern.cue};
  EXPECT_EQ(texts, (Lines{"Pattern Beschreibung", "Pattern Name", "Geraete Name", "Instrument Name", "Programm Name",
                          "Songtext", "Marker", "Abspielmarke"}));
}

TEST(PatternNodeTest, EventsFoundAndRemovedByUidObjectAndIndex) {
  auto pattern = std::make_shared<PatternNode>();
  auto a = std::make_shared<MidiNoteEvent>();
  auto b = std::make_shared<MidiControllerEvent>();
  auto c = std::make_shared<MidiNoteEvent>();
  for (const auto& e : {std::shared_ptr<EventNode>(a), std::shared_ptr<EventNode>(b), std::shared_ptr<EventNode>(c)}) {
    pattern->addEvent(e);
  }
  EXPECT_EQ(a->pattern.lock(), pattern);
  EXPECT_TRUE(a->track.expired());
  EXPECT_EQ(pattern->getEvent(b->uid), b);
  EXPECT_EQ(pattern->eventChildWithUID(c->uid), c);

  auto missing = pattern->getEvent(-99);
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->kind(), EventKind::EventNode);
  EXPECT_EQ(missing->uid, -1);
  EXPECT_FALSE(pattern->removeEventUid(-99));

  EXPECT_TRUE(pattern->removeEventUid(b->uid));
  EXPECT_FALSE(pattern->removeEvent(std::make_shared<MidiNoteEvent>()));
  EXPECT_TRUE(pattern->removeEvent(a));
  EXPECT_EQ(pattern->eventChildren(), (std::vector<std::shared_ptr<EventNode>>{c}));
  EXPECT_EQ(pattern->eventChildAtIndex(0), c);

  std::shared_ptr<EventNode> beyond = c;
  EXPECT_EQ(capturedLog([&] { beyond = pattern->eventChildAtIndex(1); }),
            Lines{"Warnung: Der Event Index 1 liegt außerhalb der Liste (1 Events)."});
  EXPECT_EQ(beyond, nullptr);
  EXPECT_EQ(capturedLog([&] { pattern->removeEventAtIndex(5); }),
            Lines{"Warnung: Der Event Index 5 liegt außerhalb der Liste (1 Events)."});
  EXPECT_EQ(pattern->getEventCount(), 1u);
  pattern->removeEventAtIndex(0);
  EXPECT_TRUE(pattern->isEmpty());
}

TEST(PatternNodeTest, ElementsOfAClassIncludeSubclassesAndIgnoreTheRange) {
  auto pattern = std::make_shared<PatternNode>();
  auto note = std::make_shared<MidiNoteEvent>();
  note->position = 100.0;
  auto text = std::make_shared<MetaTextEvent>();
  auto tempo = std::make_shared<MetaSetTempoEvent>();
  auto user = std::make_shared<UserEvent>();
  auto note2 = std::make_shared<MidiNoteEvent>();
  for (const std::shared_ptr<EventNode>& e : std::vector<std::shared_ptr<EventNode>>{note, text, tempo, user, note2}) {
    pattern->addEvent(e);
  }
  using Events = std::vector<std::shared_ptr<EventNode>>;
  EXPECT_EQ(pattern->getElementsOfClass(EventKind::MidiNoteEvent, 5.0, 1.0), (Events{note, note2}));
  EXPECT_EQ(pattern->getElementsOfClass(EventKind::MetaEvent, 0.0, 0.0), (Events{text, tempo}));
  EXPECT_EQ(pattern->getElementsOfClass(EventKind::UserEvent, 0.0, 0.0), (Events{text, tempo, user}));
  EXPECT_TRUE(pattern->getElementsOfClass(EventKind::TempoEvent, 0.0, 1e9).empty());
}

TEST(PatternNodeTest, AddedPatternNamesTheTrackAndItsTree) {
  auto tree = SequenceNode::create();
  auto track = tree->tracks[0];
  auto pattern = std::make_shared<PatternNode>();
  pattern->id = 4;
  auto first = std::make_shared<MidiNoteEvent>();
  auto second = std::make_shared<MidiNoteEvent>();
  pattern->addEvent(first);
  pattern->addEvent(second);
  EXPECT_EQ(track->addPattern(pattern), 4);
  EXPECT_EQ(pattern->sequence.lock(), tree);
  EXPECT_EQ(pattern->track.lock(), track);
  EXPECT_EQ(first->track.lock(), track);
  EXPECT_EQ(second->track.lock(), track);
  EXPECT_EQ(second->pattern.lock(), pattern);
}

TEST(PatternNodeTest, PatternsFoundAndRemovedByIdObjectAndIndex) {
  auto track = std::make_shared<TrackNode>();
  auto a = std::make_shared<PatternNode>();
  auto b = std::make_shared<PatternNode>();
  b->id = 2;
  track->addPattern(a);
  track->addPattern(b);
  EXPECT_EQ(track->getPattern(2), b);
  EXPECT_EQ(track->patternChildWithUID(0), a);
  auto missing = track->getPattern(9);
  ASSERT_NE(missing, nullptr);
  EXPECT_NE(missing, a);
  EXPECT_NE(missing, b);
  EXPECT_FALSE(track->removePatternId(9));
  EXPECT_FALSE(track->removePattern(missing));
  EXPECT_EQ(capturedLog([&] { track->removePatternAtIndex(2); }),
            Lines{"Warnung: Der Pattern Index 2 liegt außerhalb der Liste (2 Patterns)."});
  std::shared_ptr<PatternNode> beyond = a;
  EXPECT_EQ(capturedLog([&] { beyond = track->patternChildAtIndex(7); }),
            Lines{"Warnung: Der Pattern Index 7 liegt außerhalb der Liste (2 Patterns)."});
  EXPECT_EQ(beyond, nullptr);
  EXPECT_EQ(track->patternChildAtIndex(1), b);
  EXPECT_TRUE(track->removePatternId(2));
  EXPECT_TRUE(track->removePattern(a));
  EXPECT_EQ(track->getPatternCount(), 0u);
}

TEST(PatternNodeTest, TrackClearKeepsChannelTextsAndFlags) {
  auto tree = SequenceNode::create(6);
  auto track = tree->tracks[5];
  track->text = "Bass";
  track->solo = true;
  track->addEvent(std::make_shared<MidiNoteEvent>());
  track->addPattern(std::make_shared<PatternNode>());
  track->clear();
  EXPECT_TRUE(track->isEmpty());
  EXPECT_TRUE(track->patternChildren().empty());
  EXPECT_EQ(track->channel, 5);
  EXPECT_EQ(track->text, "Bass");
  EXPECT_TRUE(track->solo);
}

TEST(PatternNodeTest, DumpPrintsFieldsThenEachEventListing) {
  auto pattern = std::make_shared<PatternNode>();
  pattern->id = 3;
  pattern->channel = 9;
  pattern->offset = 8.0;
  pattern->loop = true;
  auto clock = std::make_shared<SystemClockEvent>();
  pattern->addEvent(clock);
  const std::string self = pattern->debugDescription();
  const Lines lines = capturedLog([&] { pattern->dumpout(); });
  const Lines expected = {"\tsequence: nil.",
                          "\ttrack: nil.",
                          "\tid: 3.",
                          "\tchannel: 9.",
                          "\toffset: 8.0.",
                          "\tbars: 1.",
                          "\tbeats: 4.",
                          "\tloop: true.",
                          "\tmute: false.",
                          "\tsolo: false.",
                          "\n\tDie Anzahl der Events ist 1.",
                          "\tEvents:",
                          "\n\t\tEvent " + clock->debugDescription() + ":",
                          "\t\tpattern: " + self + ".",
                          "\t\ttrack: nil.",
                          "\t\tuid: " + std::to_string(clock->uid) + ".",
                          "\t\tstatus mask: 248.",
                          "\t\tstatus byte: 248.",
                          "\t\tposition: 0.0.",
                          "\t\tchannel: 0."};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(self.rfind("<PatternNode: 0x", 0), 0u);
  EXPECT_EQ(clock->debugDescription().rfind("<SystemClockEvent: 0x", 0), 0u);
}

}  // namespace
