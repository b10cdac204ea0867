#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/audioengine/UnitNode.h"
#include "shared/patterns/MIDISequencer.h"
#include "tests/platform/audiounit/RecordingInstrument.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/support/TestFolder.h"

namespace {

using audiounit_testing::RecordingInstrument;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr double kRate = 48000.0;
constexpr std::uint32_t kFrames = 512;

// At 120 beats per minute (a beat is 24000 frames): notes on channel 0 at beats 0 and 1, one on channel 3 at beat 2;
// programs 0, 24, 24 and 40 on channels 0, 1, 2 and 9.
constexpr const char* kSongCsv = R"(0, 0, Header, 1, 2, 480
1, 0, Start_track
1, 0, Tempo, 500000
1, 0, End_track
2, 0, Start_track
2, 0, Program_c, 0, 0
2, 0, Program_c, 1, 24
2, 0, Program_c, 2, 24
2, 0, Program_c, 9, 40
2, 0, Note_on_c, 0, 60, 100
2, 240, Note_off_c, 0, 60, 0
2, 480, Note_on_c, 0, 62, 100
2, 720, Note_off_c, 0, 62, 0
2, 960, Note_on_c, 3, 64, 100
2, 1200, Note_off_c, 3, 64, 0
2, 1200, End_track
0, 0, End_of_file
)";

struct Rig {
  testsupport::TestFolder folder;
  std::shared_ptr<audioengine::Engine> engine =
      std::make_shared<audioengine::Engine>(std::make_unique<audioengine::ManualRenderingOutput>(kRate));
  std::shared_ptr<RecordingInstrument> synth = std::make_shared<RecordingInstrument>();
  std::shared_ptr<audioengine::UnitNode> node = std::make_shared<audioengine::UnitNode>(synth);
  MIDISequencer player;
  std::filesystem::path song;

  explicit Rig(const char* csv = kSongCsv) : song(sequencetest::midiFromCsv(folder.path(), "song", csv)) {
    engine->attach(node);
    engine->connect(node, engine->mainMixerNode(), engine->outputFormat());
    player.connect(engine);
    player.connect(std::static_pointer_cast<AUAudioUnit>(synth));
  }
  void render(std::uint32_t frames) {
    std::vector<float> left(kFrames), right(kFrames);
    for (std::uint32_t done = 0; done < frames; done += kFrames) {
      ASSERT_TRUE(engine->renderOffline(kFrames, left.data(), right.data()));
    }
  }
  // Sample times of the note-ons the synthesizer received.
  std::vector<std::pair<AUEventSampleTime, int>> noteOns() const {
    std::vector<std::pair<AUEventSampleTime, int>> result;
    for (std::size_t i = 0; i < synth->seenCount(); ++i) {
      const auto& seen = synth->seen(i);
      if ((seen.bytes[0] & 0xF0) == 0x90 && seen.bytes[2] > 0) result.emplace_back(seen.time, seen.bytes[1]);
    }
    return result;
  }
};

TEST(MIDISequencer, ParsedFileCollectsItsPrograms) {
  Rig rig;
  EXPECT_THAT(rig.player.getMelodicPatches(), IsEmpty());
  capturedLog([&] { rig.player.loadMIDIFileAndParse(rig.song); });
  EXPECT_THAT(rig.player.getMelodicPatches(), ElementsAre(0, 24, 40));
  EXPECT_THAT(rig.player.getRhythmicPatches(), ElementsAre(0));
  EXPECT_EQ(rig.player.getPatch(0), 0);
  EXPECT_EQ(rig.player.getPatch(1), 24);
  EXPECT_EQ(rig.player.getPatch(2), 24);
  EXPECT_EQ(rig.player.getPatch(9), 40);
  EXPECT_EQ(rig.player.getPatch(16), 0);
  EXPECT_EQ(rig.player.getPatch(-1), 0);
  EXPECT_EQ(rig.player.getBeats(), 2.5);
  EXPECT_EQ(rig.player.getLength(), 1.25);
}

TEST(MIDISequencer, WithoutAFileTheLengthsAreOne) {
  MIDISequencer player;
  EXPECT_EQ(player.getLength(), 1.0);
  EXPECT_EQ(player.getBeats(), 1.0);
  EXPECT_FALSE(player.start());
  EXPECT_EQ(player.getPosition(), 0.0);
}

TEST(MIDISequencer, PlaysOnTheEngineSampleAccurately) {
  Rig rig;
  std::string error;
  ASSERT_TRUE(rig.engine->start(&error)) << error;
  capturedLog([&] { rig.player.loadMIDIFile(rig.song); });
  EXPECT_THAT(capturedLog([&] { EXPECT_TRUE(rig.player.start()); }), ElementsAre("The sequencer is playing."));
  rig.render(24000 * 3);
  const auto ons = rig.noteOns();
  ASSERT_EQ(ons.size(), 3u);
  const AUEventSampleTime expected[] = {0, 24000, 48000};
  for (std::size_t i = 0; i < ons.size(); ++i) {
    // A unit rendered before the sequencer's clock takes the messages one cycle late.
    EXPECT_GE(ons[i].first, expected[i]) << i;
    EXPECT_LE(ons[i].first, expected[i] + kFrames) << i;
  }
  EXPECT_NEAR(rig.player.getPosition(), 3.0, 0.05);
  EXPECT_NEAR(rig.player.getTime(), 1.5, 0.05);
}

TEST(MIDISequencer, PauseStopAndPlayKeepThePausedPosition) {
  Rig rig;
  ASSERT_TRUE(rig.engine->start());
  capturedLog([&] { rig.player.loadMIDIFile(rig.song); });
  capturedLog([&] { rig.player.start(); });
  rig.render(24000);
  EXPECT_THAT(capturedLog([&] { EXPECT_TRUE(rig.player.pause()); }), ElementsAre("The sequencer was paused."));
  const double paused = rig.player.getPosition();
  EXPECT_NEAR(paused, 1.0, 0.05);
  rig.render(24000);
  EXPECT_EQ(rig.player.getPosition(), paused);
  EXPECT_THAT(capturedLog([&] { EXPECT_FALSE(rig.player.stop()); }), IsEmpty());
  EXPECT_THAT(capturedLog([&] { EXPECT_TRUE(rig.player.play()); }),
              ElementsAre("The sequencer is playing / continuing."));
  EXPECT_EQ(rig.player.getPosition(), paused);
  EXPECT_THAT(capturedLog([&] { EXPECT_TRUE(rig.player.stop()); }), ElementsAre("The sequencer was stopped."));
  EXPECT_EQ(rig.player.getPosition(), 0.0);
  EXPECT_THAT(capturedLog([&] { rig.player.play(); }), ElementsAre("The sequencer is playing / continuing."));
  EXPECT_EQ(rig.player.getPosition(), paused);
}

TEST(MIDISequencer, PositionRateAndTheEndOfTheSong) {
  Rig rig;
  ASSERT_TRUE(rig.engine->start());
  capturedLog([&] { rig.player.loadMIDIFile(rig.song); });
  capturedLog([&] { rig.player.start(); });
  rig.player.setPosition(2.0f);
  rig.player.setTempo(2.0f);
  rig.render(24000);  // half a second of song time per quarter second
  EXPECT_NEAR(rig.player.getPosition(), 4.0, 0.05);
  // The song lasts 1.25 seconds; it is over 4 seconds later (at beat 10.5).
  rig.player.setPosition(10.0f);
  EXPECT_THAT(capturedLog([&] { EXPECT_EQ(rig.player.getPosition(), 10.0); }), IsEmpty());
  rig.player.setPosition(10.6f);
  EXPECT_THAT(capturedLog([&] { EXPECT_EQ(rig.player.getPosition(), 0.0); }),
              ElementsAre("The sequencer was stopped.", "The sequencer has been finished."));
  EXPECT_FALSE(rig.player.isPlaying());
}

TEST(MIDISequencer, StartFailsWhileTheEngineDoesNotRun) {
  Rig rig;
  capturedLog([&] { rig.player.loadMIDIFile(rig.song); });
  EXPECT_THAT(capturedLog([&] { EXPECT_FALSE(rig.player.start()); }),
              ElementsAre("Error: The sequencer could not be started: " +
                          std::to_string(kAudioToolboxErr_InvalidPlayerState)));
}

// Notes on channels 0 and 3 only.
constexpr const char* kTwoChannelCsv = R"(0, 0, Header, 1, 2, 480
1, 0, Start_track
1, 0, Tempo, 500000
1, 0, End_track
2, 0, Start_track
2, 0, Note_on_c, 0, 60, 100
2, 240, Note_off_c, 0, 60, 0
2, 480, Note_on_c, 0, 62, 100
2, 720, Note_off_c, 0, 62, 0
2, 960, Note_on_c, 3, 64, 100
2, 1200, Note_off_c, 3, 64, 0
2, 1200, End_track
0, 0, End_of_file
)";

TEST(MIDISequencer, RoutesEachTrackToTheUnitOfItsChannel) {
  Rig rig(kTwoChannelCsv);
  ASSERT_TRUE(rig.engine->start());
  capturedLog([&] { rig.player.loadMIDIFileAndParse(rig.song); });
  std::vector<std::shared_ptr<AUAudioUnit>> three{std::make_shared<RecordingInstrument>(),
                                                  std::make_shared<RecordingInstrument>(),
                                                  std::make_shared<RecordingInstrument>()};
  EXPECT_THAT(capturedLog([&] { rig.player.setTrackPorts(three); }),
              Contains("MIDISequencer::setTrackPorts() : ERROR: The unit count is smaller than the channel number."));
  auto fourth = std::make_shared<audioengine::UnitNode>(std::make_shared<RecordingInstrument>());
  std::vector<std::shared_ptr<AUAudioUnit>> four{rig.synth, three[1], three[2], fourth->auAudioUnit()};
  rig.engine->attach(fourth);
  rig.engine->connect(fourth, rig.engine->mainMixerNode(), rig.engine->outputFormat());
  EXPECT_THAT(capturedLog([&] { rig.player.setTrackPorts(four); }),
              ::testing::Not(Contains(::testing::HasSubstr("ERROR"))));
  capturedLog([&] { rig.player.start(); });
  rig.render(24000 * 3);
  const auto ons = rig.noteOns();
  ASSERT_EQ(ons.size(), 2u);  // channel 0's notes; channel 3's note went to the fourth unit
  const auto& other = static_cast<RecordingInstrument&>(*fourth->auAudioUnit());
  std::size_t channel3 = 0;
  for (std::size_t i = 0; i < other.seenCount(); ++i) {
    if (other.seen(i).bytes[0] == 0x93 && other.seen(i).bytes[2] > 0) ++channel3;
  }
  EXPECT_EQ(channel3, 1u);
}

}  // namespace
