// The render sides of the player matrix and the audio sequencer, once warm, do not allocate.

#include <gtest/gtest.h>

#include <vector>

#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/audioengine/UnitNode.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/musicsequence/AudioSequencer.h"
#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"
#include "shared/patterns/MatrixSections.h"
#include "tests/platform/audiounit/RecordingInstrument.h"
#include "tests/shared/playback/PlayerFixture.h"
#include "tests/support/AllocationCounter.h"

namespace {

TEST(RenderAllocation, MatrixProcessDoesNotAllocateAfterWarmUp) {
  foundation::LogCapture capture;
  MatrixSections matrix;
  std::vector<SongEvent> song;
  for (int i = 0; i < 16; ++i) {
    song.push_back({i * 0.01, b({0x90, 40 + i, 100})});
    song.push_back({i * 0.01 + 0.005, b({0x80, 40 + i, 0})});
  }
  for (int s = 0; s < MatrixSections::sectionCount; s += 3) {
    for (int t = 0; t < MatrixSections::trackCount; t += 5) {
      matrix.sections[s]->tracks[t]->load(songConversion(song), std::nullopt, true);
    }
  }
  matrix.start(0);
  std::uint64_t allocations = 0;
  AUEventSampleTime now = 512;
  for (int cycle = 0; cycle < 200; ++cycle) {
    const std::uint64_t before = testsupport::allocationsOnThisThread();
    const AURenderEvent* head = matrix.process(now, 512);
    matrix.deallocateRealtimeEventListHead(head);
    if (cycle >= 2) allocations += testsupport::allocationsOnThisThread() - before;
    now += 512;
  }
  dispatch::MainQueue::shared().drain();
  EXPECT_EQ(allocations, 0u);
}

TEST(RenderAllocation, AudioSequencerRenderDoesNotAllocate) {
  audioengine::Engine engine(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
  auto synth = std::make_shared<audiounit_testing::RecordingInstrument>();
  auto node = std::make_shared<audioengine::UnitNode>(synth);
  engine.attach(node);
  engine.connect(node, engine.mainMixerNode(), engine.outputFormat());
  AudioSequencer sequencer(engine);

  MusicSequence sequence;
  NewMusicSequence(&sequence);
  MusicTrack track;
  MusicSequenceNewTrack(sequence, &track);
  for (int i = 0; i < 64; ++i) {
    const MIDINoteMessage note{0, static_cast<std::uint8_t>(40 + i % 40), 100, 0, 0.05f};
    MusicTrackNewMIDINoteEvent(track, i * 0.1, &note);
  }
  std::vector<std::uint8_t> data;
  ASSERT_EQ(MusicSequenceFileCreateData(sequence, kMusicSequenceFile_MIDIType, kMusicSequenceFileFlags_EraseFile, 480,
                                        &data),
            noErr);
  ASSERT_EQ(sequencer.load(data, kMusicSequenceLoadSMF_ChannelsToTracks), noErr);
  sequencer.setDestination(0, synth);
  ASSERT_TRUE(engine.start());
  ASSERT_EQ(sequencer.start(), noErr);
  std::vector<float> left(512), right(512);
  std::uint64_t allocations = 0;
  for (int cycle = 0; cycle < 400; ++cycle) {
    const std::uint64_t before = testsupport::allocationsOnThisThread();
    ASSERT_TRUE(engine.renderOffline(512, left.data(), right.data()));
    if (cycle >= 2) allocations += testsupport::allocationsOnThisThread() - before;
  }
  EXPECT_EQ(allocations, 0u);
  EXPECT_GT(synth->seenCount(), 64u);
}

}  // namespace
