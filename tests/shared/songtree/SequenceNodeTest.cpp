#include <gtest/gtest.h>

#include "shared/midievents/MIDIEvents.h"
#include "shared/songtree/SequenceNode.h"
#include "tests/shared/midievents/CapturedLog.h"

namespace {

using Lines = std::vector<std::string>;
const char* kTrackLimit = "Fehler: Die Anzahl der Spuren ist auf 1000 begrenzt";

TEST(SequenceNodeTest, NewTreeHasATempoTrackAndOneTrack) {
  auto tree = SequenceNode::create();
  ASSERT_NE(tree->tempoTrack, nullptr);
  EXPECT_TRUE(tree->tempoTrack->isTempoTrack);
  EXPECT_EQ(tree->tempoTrack->channel, 255);
  EXPECT_EQ(tree->tempoTrack->sequence.lock(), tree);
  ASSERT_EQ(tree->tracks.size(), 1u);
  EXPECT_EQ(tree->numberOfTracks, 1);
  EXPECT_FALSE(tree->tracks[0]->isTempoTrack);
  EXPECT_EQ(tree->tracks[0]->channel, 0);
  EXPECT_EQ(tree->tracks[0]->text, "Spur Beschreibung");
  EXPECT_EQ(tree->tracks[0]->name, "Spur Name");
  EXPECT_EQ(tree->text, "Song Beschreibung");
}

TEST(SequenceNodeTest, TrackCountsAndLimits) {
  struct Case {
    uint16_t requested;
    std::size_t tracks;
    Lines log;
  };
  const Case cases[] = {
      {16, 16, {}},
      {1000, 1000, {}},
      {1001, 1, {kTrackLimit}},
      {0, 1, {"Warnung: Eine Sequenz braucht mindestens eine Spur; sie wurde mit einer Spur angelegt."}},
  };
  for (const Case& c : cases) {
    std::shared_ptr<SequenceNode> tree;
    EXPECT_EQ(capturedLog([&] { tree = SequenceNode::create(c.requested); }), c.log) << c.requested;
    ASSERT_EQ(tree->tracks.size(), c.tracks) << c.requested;
    EXPECT_EQ(tree->numberOfTracks, c.tracks);
    EXPECT_EQ(tree->getTrackCount(), c.tracks);
    for (std::size_t i = 0; i < tree->tracks.size(); ++i) {
      EXPECT_EQ(tree->tracks[i]->channel, static_cast<uint8_t>(i));
      EXPECT_EQ(tree->tracks[i]->sequence.lock(), tree);
    }
  }
}

TEST(SequenceNodeTest, TracksBeyondChannel255WrapTheirChannel) {
  auto tree = SequenceNode::create(300);
  EXPECT_EQ(tree->tracks[255]->channel, 255);
  EXPECT_EQ(tree->tracks[256]->channel, 0);
  EXPECT_EQ(tree->tracks[299]->channel, 43);
}

TEST(SequenceNodeTest, AddTrackStopsAtTheLimit) {
  auto tree = SequenceNode::create(999);
  uint16_t id = 1;
  EXPECT_EQ(capturedLog([&] { id = tree->addTrack(); }), Lines{});
  EXPECT_EQ(id, 0);
  EXPECT_EQ(tree->tracks.back()->channel, 0);
  EXPECT_EQ(capturedLog([&] { id = tree->addTrack(); }), Lines{kTrackLimit});
  EXPECT_EQ(id, 0);
  EXPECT_EQ(tree->tracks.size(), 1000u);
  EXPECT_EQ(tree->numberOfTracks, 1000);
}

TEST(SequenceNodeTest, TrackIndexBeyondTheTreeIsClampedWithAWarning) {
  auto tree = SequenceNode::create(16);
  std::shared_ptr<TrackNode> track;
  EXPECT_EQ(capturedLog([&] { track = tree->getTrack(20); }),
            Lines{"Warnung: Der Spur Index wurde auf das Maximum (16) gesetzt. "});
  EXPECT_EQ(track, tree->tracks[15]);
  EXPECT_EQ(capturedLog([&] { track = tree->child(3); }), Lines{});
  EXPECT_EQ(track, tree->tracks[3]);
}

TEST(SequenceNodeTest, TracksFoundAndRemovedById) {
  auto tree = SequenceNode::create(3);
  tree->tracks[1]->id = 7;
  tree->tracks[2]->id = 7;
  EXPECT_EQ(tree->getrack(7), tree->tracks[1]);
  EXPECT_EQ(tree->getrack(8), nullptr);
  auto second = tree->tracks[2];
  tree->removeTrack(7);
  ASSERT_EQ(tree->tracks.size(), 2u);
  EXPECT_EQ(tree->numberOfTracks, 2);
  EXPECT_EQ(tree->tracks[1], second);
  tree->removeTrack(0);
  tree->removeTrack(7);
  EXPECT_TRUE(tree->children().empty());
  EXPECT_EQ(tree->numberOfTracks, 0);
  std::shared_ptr<TrackNode> track = tree->tracks.empty() ? nullptr : tree->tracks[0];
  EXPECT_EQ(capturedLog([&] { track = tree->getTrack(0); }), Lines{"Fehler: Die Sequenz enthält keine Spur."});
  EXPECT_EQ(track, nullptr);
}

TEST(SequenceNodeTest, ClearEmptiesEventsAndPatternsButKeepsTracks) {
  auto tree = SequenceNode::create(4);
  tree->tempoTrack->addEvent(std::make_shared<TempoEvent>());
  for (const auto& track : tree->tracks) {
    track->addEvent(std::make_shared<MidiNoteEvent>());
    track->addPattern(std::make_shared<PatternNode>());
  }
  tree->tracks[2]->mute = true;
  tree->clear();
  EXPECT_TRUE(tree->tempoTrack->isEmpty());
  ASSERT_EQ(tree->tracks.size(), 4u);
  for (const auto& track : tree->tracks) {
    EXPECT_TRUE(track->isEmpty());
    EXPECT_EQ(track->getPatternCount(), 0u);
  }
  EXPECT_TRUE(tree->tracks[2]->mute);
  EXPECT_EQ(tree->tracks[2]->channel, 2);
}

TEST(SequenceNodeTest, DiagnosticsFrameTheTree) {
  auto tree = SequenceNode::create();
  const Lines lines = capturedLog([&] { tree->diagnostics(); });
  const std::string plus37(37, '+');
  const std::string track = tree->tracks[0]->debugDescription();
  const std::string self = tree->debugDescription();
  const Lines trackDump = {"\tsequence: " + self + ".", "\tisTempoTrack: false.", "\tchannel: 0.",
                           "\n\tDie Anzahl der Events ist 0.", "\tEvents:", "\n\tDie Anzahl der Patterns ist 0.",
                           "\tPatterns:"};
  Lines expected = {"\n\n" + plus37 + " Sequence " + plus37 + "START\n\n", self, "\n\tTrack 0 / Tempo Track:"};
  Lines tempoDump = trackDump;
  tempoDump[1] = "\tisTempoTrack: true.";
  tempoDump[2] = "\tchannel: 255.";
  expected.insert(expected.end(), tempoDump.begin(), tempoDump.end());
  expected.push_back("\nDie Anzahl der (Music) Tracks ist 1.");
  expected.push_back("Tracks:");
  expected.push_back("\n\tTrack " + track + ":");
  expected.insert(expected.end(), trackDump.begin(), trackDump.end());
  expected.push_back("\n\n" + plus37 + " Sequence " + plus37 + "+STOP\n\n");
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(expected.front().size(), expected.back().size());
  EXPECT_EQ(track.rfind("<TrackNode: 0x", 0), 0u);
  EXPECT_EQ(self.rfind("<SequenceNode: 0x", 0), 0u);
}

TEST(SequenceNodeTest, BackReferencesDoNotKeepTheTreeAlive) {
  std::weak_ptr<SequenceNode> weakTree;
  std::shared_ptr<TrackNode> track;
  auto note = std::make_shared<MidiNoteEvent>();
  {
    auto tree = SequenceNode::create();
    weakTree = tree;
    track = tree->tracks[0];
    track->addEvent(note);
  }
  EXPECT_TRUE(weakTree.expired());
  EXPECT_TRUE(track->sequence.expired());
  EXPECT_EQ(note->track.lock(), track);
  track.reset();
  EXPECT_TRUE(note->track.expired());
  EXPECT_EQ(note->uid, 1);
}

}  // namespace
