// The audio sequencer's transport and routing change from the control thread while another thread renders.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/audioengine/UnitNode.h"
#include "platform/musicsequence/AudioSequencer.h"
#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"
#include "tests/platform/audiounit/RecordingInstrument.h"

namespace {

std::vector<std::uint8_t> songData() {
  MusicSequence sequence;
  NewMusicSequence(&sequence);
  MusicTrack track;
  MusicSequenceNewTrack(sequence, &track);
  for (int i = 0; i < 200; ++i) {
    const MIDINoteMessage note{static_cast<std::uint8_t>(i % 4), 60, 100, 0, 0.02f};
    MusicTrackNewMIDINoteEvent(track, i * 0.05, &note);
  }
  std::vector<std::uint8_t> data;
  MusicSequenceFileCreateData(sequence, kMusicSequenceFile_MIDIType, kMusicSequenceFileFlags_EraseFile, 480, &data);
  return data;
}

TEST(AudioSequencerThreads, ControlChangesWhileRendering) {
  audioengine::Engine engine(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
  auto synth = std::make_shared<audiounit_testing::RecordingInstrument>();
  auto node = std::make_shared<audioengine::UnitNode>(synth);
  engine.attach(node);
  engine.connect(node, engine.mainMixerNode(), engine.outputFormat());
  AudioSequencer sequencer(engine);
  const auto data = songData();
  ASSERT_EQ(sequencer.load(data, kMusicSequenceLoadSMF_ChannelsToTracks), noErr);
  ASSERT_TRUE(engine.start());

  std::atomic<bool> done{false};
  std::thread renderer([&] {
    std::vector<float> left(256), right(256);
    while (!done.load()) engine.renderOffline(256, left.data(), right.data());
  });
  for (int round = 0; round < 200; ++round) {
    for (std::size_t t = 0; t < sequencer.tracks().size(); ++t) {
      sequencer.setDestination(static_cast<int>(t), round % 3 == 0 ? nullptr : synth);
    }
    EXPECT_EQ(sequencer.start(), noErr);
    sequencer.setRate(1.0f + static_cast<float>(round % 4));
    sequencer.setCurrentPositionInBeats(round % 10);
    EXPECT_GE(sequencer.currentPositionInSeconds(), 0.0);
    sequencer.stop();
  }
  done.store(true);
  renderer.join();
  EXPECT_FALSE(sequencer.isPlaying());
}

}  // namespace
