#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/musicsequence/MusicSequence.h"
#include "shared/midievents/MIDIEvents.h"
#include "shared/patterns/MIDIPatternSequence.h"
#include "tests/shared/midievents/CapturedLog.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RecordingSectionDelegate : public PatternSequenceDelegate {
 public:
  std::vector<std::uint16_t> created;
  std::vector<std::uint16_t> deleted;
  void onSectionCreated(std::uint16_t count) override { created.push_back(count); }
  void onSectionDeleted(std::uint16_t index) override { deleted.push_back(index); }
};

std::uint32_t trackCount(const MIDIPatternSequence& sequence) {
  std::uint32_t count = 0;
  MusicSequenceGetTrackCount(sequence.musicSequence, &count);
  return count;
}

std::shared_ptr<MidiControllerEvent> controller(double position, std::uint8_t number) {
  auto event = std::make_shared<MidiControllerEvent>();
  event->position = position;
  event->number = number;
  event->value = 64;
  return event;
}

struct Fixture {
  std::shared_ptr<MIDIPatternSequence> sequence = MIDIPatternSequence::create();
  std::shared_ptr<RecordingSectionDelegate> delegate = std::make_shared<RecordingSectionDelegate>();
  Fixture() { sequence->pattern_delegate = delegate; }
};

TEST(MIDIPatternSequence, NewSequenceHoldsOneNamedSectionWrittenIntoOneTrack) {
  std::shared_ptr<MIDIPatternSequence> sequence;
  capturedLog([&] { sequence = MIDIPatternSequence::create(); });
  ASSERT_EQ(sequence->sections.size(), 1u);
  const auto& slot0 = sequence->sections[0]->patterns[0];
  ASSERT_EQ(slot0->events.size(), 3u);  // the two tags of the first write lead the name
  EXPECT_TRUE(slot0->events[0]->isA<MetaChannelPrefixEvent>());
  EXPECT_TRUE(slot0->events[1]->isA<MetaSequenceNumberEvent>());
  const auto name = eventCast<MetaTrackNameEvent>(slot0->events[2]);
  ASSERT_TRUE(name);
  EXPECT_EQ(name->getText(), "New Pattern");
  for (std::size_t slot = 1; slot < 16; ++slot) EXPECT_TRUE(sequence->sections[0]->patterns[slot]->events.empty());
  EXPECT_EQ(trackCount(*sequence), 1u);
  EXPECT_TRUE(slot0->link.has_value());
  EXPECT_EQ(sequence->maxTracks, 10000);
}

TEST(MIDIPatternSequence, GetPatternBeyondTheSectionsGrowsToIndexPlusTwo) {
  struct Case {
    std::uint16_t section;
    std::size_t sectionsAfter;
    std::vector<std::uint16_t> created;
  };
  for (const Case& c : {Case{3, 5, {2, 3, 4, 5}}, Case{1, 3, {2, 3}}, Case{0, 1, {}}}) {
    Fixture f;
    std::shared_ptr<PatternNode> pattern;
    const auto log = capturedLog([&] { pattern = f.sequence->getPattern(c.section, 0); });
    EXPECT_EQ(f.sequence->sections.size(), c.sectionsAfter) << c.section;
    EXPECT_EQ(f.delegate->created, c.created) << c.section;
    EXPECT_EQ(pattern, f.sequence->sections[c.section]->patterns[0]);
    if (c.section > 0) {
      EXPECT_THAT(log, ElementsAre("Warnung: Der Index ist größer als die Anzahl der verfügbaren Sektionen."));
    }
  }
}

TEST(MIDIPatternSequence, IndexErrorsArePrintedAndChangeNothing) {
  Fixture f;
  EXPECT_THAT(capturedLog([&] { EXPECT_EQ(f.sequence->getPattern(0, 16), nullptr); }),
              ElementsAre("Fehler: Der Index ist größer als die Anzahl der verfügbaren Kanäle."));
  EXPECT_THAT(capturedLog([&] { f.sequence->deleteSection(1); }),
              ElementsAre("Fehler: Die Anzahl der Sektionen ist kleiner als der Index."));
  EXPECT_THAT(capturedLog([&] { f.sequence->clearSection(1); }),
              ElementsAre("Fehler: Die Anzahl der Sektionen ist kleiner als der Index."));
  EXPECT_THAT(capturedLog([&] { f.sequence->clearPattern(1, 0); }),
              ElementsAre("Fehler: Der Index ist größer als die Anzahl der verfügbaren Sektionen."));
  EXPECT_THAT(capturedLog([&] { f.sequence->setPattern(std::make_shared<PatternNode>(), 0, 16); }),
              ElementsAre("Fehler: Der Index ist größer als die Anzahl der verfügbaren Kanäle."));
  EXPECT_THAT(capturedLog([&] { f.sequence->setPattern(nullptr, 0, 0); }),
              ElementsAre("Warnung: Das Pattern ist undefiniert."));
  EXPECT_EQ(f.sequence->sections.size(), 1u);
  EXPECT_THAT(f.delegate->deleted, IsEmpty());
  EXPECT_EQ(f.sequence->sections[0]->patterns[0]->events.size(), 3u);
}

TEST(MIDIPatternSequence, ClearAllSectionsLeavesOneFreshSectionAndDisposesTheWrittenTracks) {
  Fixture f;
  f.sequence->getPattern(1, 0);  // three sections
  f.sequence->getPattern(2, 4)->addEvent(controller(1.0, 7));
  f.sequence->sectionsToMusicSequence();
  ASSERT_EQ(trackCount(*f.sequence), 4u);  // slot 0 of each section (its name), and section 2's slot 4
  f.delegate->created.clear();
  capturedLog([&] { f.sequence->clearAllSections(); });
  ASSERT_EQ(f.sequence->sections.size(), 1u);
  EXPECT_THAT(f.delegate->deleted, ElementsAre(2, 1, 0));
  EXPECT_THAT(f.delegate->created, ElementsAre(1));
  const auto& events = f.sequence->sections[0]->patterns[0]->events;
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(events[0]->isA<MetaTrackNameEvent>());
  EXPECT_EQ(trackCount(*f.sequence), 0u);
}

TEST(MIDIPatternSequence, ClearPatternKeepsEventsOfAPatternWithoutTrack) {
  Fixture f;
  auto pattern = f.sequence->getPattern(0, 3);
  pattern->addEvent(controller(0.5, 1));
  f.sequence->clearPattern(0, 3);
  EXPECT_EQ(pattern->events.size(), 1u);

  f.sequence->sectionsToMusicSequence();
  ASSERT_TRUE(pattern->link.has_value());
  const std::uint32_t before = trackCount(*f.sequence);
  f.sequence->clearPattern(0, 3);
  EXPECT_TRUE(pattern->events.empty());
  EXPECT_FALSE(pattern->link.has_value());
  EXPECT_EQ(trackCount(*f.sequence), before - 1);
}

TEST(MIDIPatternSequence, SetPatternEmptiesTheWrittenSlotButNeverStoresTheNode) {
  Fixture f;
  auto slot = f.sequence->sections[0]->patterns[0];
  auto given = std::make_shared<PatternNode>();
  f.sequence->setPattern(given, 0, 0);
  EXPECT_EQ(f.sequence->sections[0]->patterns[0], slot);
  EXPECT_TRUE(slot->events.empty());
  EXPECT_EQ(trackCount(*f.sequence), 0u);
}

TEST(MIDIPatternSequence, DeleteSectionMovesLaterSectionsDown) {
  Fixture f;
  f.sequence->getPattern(1, 0);
  const auto third = f.sequence->sections[2];
  auto removedPattern = f.sequence->sections[1]->patterns[5];
  removedPattern->addEvent(controller(0.0, 10));
  f.sequence->deleteSection(1);
  ASSERT_EQ(f.sequence->sections.size(), 2u);
  EXPECT_EQ(f.sequence->sections[1], third);
  EXPECT_THAT(f.delegate->deleted, ElementsAre(1));
  EXPECT_TRUE(removedPattern->events.empty());
}

}  // namespace
