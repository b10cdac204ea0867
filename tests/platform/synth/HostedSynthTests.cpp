// The synthesizer as the instrument hosts it: found by description in a registry, attached to a private engine that
// never pulls it (connected and disconnected again), allocated, loaded and preloaded by its owner, and rendered
// through its render block by the owner's own render call.

#include <gtest/gtest.h>

#include "platform/audioengine/Engine.h"
#include "platform/audioengine/UnitNode.h"
#include "platform/synth/MIDISynthComponent.h"
#include "tests/platform/synth/SynthHarness.h"
#include "tests/platform/synth/SynthTestBanks.h"
#include "tests/support/TestFolder.h"

namespace synth_test {
namespace {

TEST(HostedSynth, OwnerDrivesTheSynthesizerOfAnEngineThatNeverPullsIt) {
    testsupport::TestFolder folder;
    const std::filesystem::path bank = folder.path() / "sine.sf2";
    ASSERT_TRUE(writeSineSoundFont(bank));

    AudioComponentRegistry registry;
    registerMIDISynth(registry);
    std::string error;
    const auto node = audioengine::UnitNode::instantiate(kMIDISynthDescription, error, registry);
    ASSERT_NE(node, nullptr) << error;
    audioengine::Engine engine;
    const AudioFormat format = engine.outputFormat();
    ASSERT_TRUE(engine.attach(node));
    ASSERT_TRUE(engine.connect(node, engine.mainMixerNode(), format));
    engine.disconnectNodeOutput(node);
    ASSERT_TRUE(engine.start(&error)) << error;

    AUAudioUnit& unit = *node->auAudioUnit();
    unit.setMaximumFramesToRender(kMaximumFrames);
    unit.allocateRenderResources();
    ASSERT_EQ(unit.setProperty(kMusicDeviceProperty_SoundBankURL, kAudioUnitScope_Global, 0, &bank, sizeof bank),
              foundation::noErr);
    const uint32_t on = 1, off = 0;
    ASSERT_EQ(unit.setProperty(kAUMIDISynthProperty_EnablePreload, kAudioUnitScope_Global, 0, &on, sizeof on),
              foundation::noErr);
    for (const uint32_t program : {0u, 1u}) {
        EXPECT_EQ(unit.musicDeviceMIDIEvent(0xB0, 0, 0, 0), foundation::noErr);
        EXPECT_EQ(unit.musicDeviceMIDIEvent(0xB0, 32, 0, 0), foundation::noErr);
        EXPECT_EQ(unit.musicDeviceMIDIEvent(0xC0, program, 0, 0), foundation::noErr);
    }
    ASSERT_EQ(unit.setProperty(kAUMIDISynthProperty_EnablePreload, kAudioUnitScope_Global, 0, &off, sizeof off),
              foundation::noErr);

    const AURenderBlock render = unit.renderBlock();
    EventList events;
    events.midi(0, 0x90, 69, 100);
    std::vector<float> note;
    std::vector<float> left(kMaximumFrames), right(kMaximumFrames);
    for (int call = 0; call < 4; ++call) {
        AudioBufferList buffers = stereoBufferList(left.data(), right.data(), kMaximumFrames);
        AudioTimeStamp timestamp;
        timestamp.mSampleTime = static_cast<double>(call) * kMaximumFrames;
        AudioUnitRenderActionFlags flags = 0;
        ASSERT_EQ(render(&flags, &timestamp, kMaximumFrames, 0, &buffers, call == 0 ? events.head() : nullptr,
                         nullptr),
                  foundation::noErr);
        note.insert(note.end(), left.begin(), left.end());
    }
    EXPECT_NEAR(fundamentalHz(note, 2048, note.size(), format.sampleRate), kRootFrequencyHz, 1.0);
    engine.stop();
}

}  // namespace
}  // namespace synth_test
