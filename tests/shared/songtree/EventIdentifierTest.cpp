#include <gtest/gtest.h>

#include <set>

#include "shared/midievents/MIDIEvents.h"
#include "shared/songtree/SequenceNode.h"

namespace {

// Every uid held by the tree: tempo track, tracks, and the tracks' patterns.
std::multiset<int64_t> uidsOf(const SequenceNode& tree) {
  std::multiset<int64_t> uids;
  auto collect = [&](const PatternNode& node) {
    for (const auto& e : node.events) uids.insert(e->uid);
  };
  collect(*tree.tempoTrack);
  for (const auto& track : tree.tracks) {
    collect(*track);
    for (const auto& pattern : track->patterns) collect(*pattern);
  }
  return uids;
}

bool allDistinct(const std::multiset<int64_t>& uids) {
  return std::set<int64_t>(uids.begin(), uids.end()).size() == uids.size();
}

TEST(EventIdentifierTest, EventsOfAFreshTreeAreNumberedFromOne) {
  auto tree = SequenceNode::create(2);
  auto track = tree->tracks[1];
  for (int64_t expected = 1; expected <= 3; ++expected) {
    auto note = std::make_shared<MidiNoteEvent>();
    EXPECT_EQ(track->addEvent(note), expected);
    EXPECT_EQ(note->uid, expected);
    EXPECT_EQ(note->track.lock(), track);
    EXPECT_TRUE(note->pattern.expired());
  }
}

TEST(EventIdentifierTest, TreeWithTwoLiveSiblingsNeverDuplicatesAnIdentifier) {
  auto first = SequenceNode::create(2);
  first->tracks[0]->addEvent(std::make_shared<MidiNoteEvent>());
  first->tracks[1]->addEvent(std::make_shared<MidiNoteEvent>());
  auto second = SequenceNode::create(2);
  auto third = SequenceNode::create();
  EXPECT_EQ(second->tracks[0]->addEvent(std::make_shared<MidiNoteEvent>()), 1);
  EXPECT_EQ(first->tempoTrack->addEvent(std::make_shared<TempoEvent>()), 3);
  EXPECT_EQ(third->tracks[0]->addEvent(std::make_shared<MidiNoteEvent>()), 1);
  EXPECT_EQ(first->tracks[0]->addEvent(std::make_shared<MidiNoteEvent>()), 4);
  EXPECT_EQ(second->tracks[1]->addEvent(std::make_shared<MidiNoteEvent>()), 2);
  EXPECT_EQ(uidsOf(*first), (std::multiset<int64_t>{1, 2, 3, 4}));
  EXPECT_EQ(uidsOf(*second), (std::multiset<int64_t>{1, 2}));
}

TEST(EventIdentifierTest, PatternsOfATreeDrawFromTheTreeCounter) {
  auto tree = SequenceNode::create();
  auto track = tree->tracks[0];
  track->addEvent(std::make_shared<MidiNoteEvent>());
  auto pattern = std::make_shared<PatternNode>();
  track->addPattern(pattern);
  auto note = std::make_shared<MidiNoteEvent>();
  EXPECT_EQ(pattern->addEvent(note), 2);
  EXPECT_EQ(note->pattern.lock(), pattern);
  EXPECT_TRUE(note->track.expired());
  EXPECT_EQ(track->addEvent(std::make_shared<MidiNoteEvent>()), 3);
}

TEST(EventIdentifierTest, PatternJoiningATreeTakesTheTreesIdentifiers) {
  auto tree = SequenceNode::create();
  auto track = tree->tracks[0];
  track->addEvent(std::make_shared<MidiNoteEvent>());
  track->addEvent(std::make_shared<MidiNoteEvent>());

  auto free = std::make_shared<PatternNode>();
  free->addEvent(std::make_shared<MidiNoteEvent>());
  free->addEvent(std::make_shared<MidiNoteEvent>());
  auto other = SequenceNode::create();
  auto moved = std::make_shared<PatternNode>();
  other->tracks[0]->addPattern(moved);
  moved->addEvent(std::make_shared<MidiNoteEvent>());

  track->addPattern(free);
  track->addPattern(moved);
  EXPECT_EQ(uidsOf(*tree), (std::multiset<int64_t>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(allDistinct(uidsOf(*tree)));

  // Moving a pattern between tracks of one tree keeps its numbers.
  tree->addTrack();
  const int64_t before = free->events[0]->uid;
  tree->tracks[1]->addPattern(free);
  EXPECT_EQ(free->events[0]->uid, before);
  EXPECT_EQ(free->events[0]->track.lock(), tree->tracks[1]);
}

TEST(EventIdentifierTest, PatternsOutsideAnyTreeNeverShareIdentifiers) {
  auto a = std::make_shared<PatternNode>();
  auto b = std::make_shared<PatternNode>();
  std::set<int64_t> uids;
  for (int i = 0; i < 3; ++i) {
    uids.insert(a->addEvent(std::make_shared<MidiNoteEvent>()));
    uids.insert(b->addEvent(std::make_shared<MidiNoteEvent>()));
  }
  EXPECT_EQ(uids.size(), 6u);
}

}  // namespace
