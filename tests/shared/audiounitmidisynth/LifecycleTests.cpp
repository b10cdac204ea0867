// Making and dropping the synthesizer's node, calls without a node or engine, and the unit's MIDI output.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/shared/audiounitmidisynth/WrapperFixture.h"

namespace midisynth_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

bool attached(const audioengine::Engine& engine, const std::shared_ptr<audioengine::Node>& node) {
    const auto nodes = engine.attachedNodes();
    return std::find(nodes.begin(), nodes.end(), node) != nodes.end();
}

TEST_F(WrapperTest, CreateAttachesANamedSynthesizerAndDestroyDetachesIt) {
    ASSERT_NE(wrapper->midiSynth, nullptr);
    EXPECT_EQ(wrapper->avAudioUnit, wrapper->midiSynth);
    EXPECT_EQ(wrapper->contextName, kSynthName);
    EXPECT_EQ(wrapper->audioUnit()->contextName(), kSynthName);
    EXPECT_TRUE(componentMatches(wrapper->audioUnit()->componentDescription(), wrapper->cd));
    EXPECT_TRUE(attached(*engine, wrapper->midiSynth));
    EXPECT_THAT(delegate.found, ElementsAre(wrapper.get()));

    const auto node = wrapper->midiSynth;
    wrapper->destroy();
    EXPECT_FALSE(attached(*engine, node));
    EXPECT_EQ(wrapper->midiSynth, nullptr);
    EXPECT_EQ(wrapper->avAudioUnit, nullptr);

    wrapper->destroy();
    EXPECT_EQ(wrapper->midiSynth, nullptr);
    wrapper->create(kSynthName);
    EXPECT_TRUE(attached(*engine, wrapper->midiSynth));
}

TEST_F(WrapperTest, WithoutAnEngineCreateAndDestroyOnlyLog) {
    AudioUnitMIDISynth lonely(nullptr);
    lonely.create(kSynthName);
    EXPECT_EQ(lonely.midiSynth, nullptr);
    EXPECT_EQ(lonely.contextName, "");
    lonely.destroy();
    EXPECT_THAT(drainedLines(),
                ElementsAre("AudioUnitMIDISynth::ERROR: Engine is nil.", "AudioUnitMIDISynth::ERROR: Engine is nil."));
}

TEST_F(WrapperTest, CallsBeforeCreateAreLoggedAndDoNothing) {
    auto early = std::make_shared<AudioUnitMIDISynth>(engine);
    early->contextName = "early";
    early->loadSoundFont(1);
    EXPECT_FALSE(early->loadSoundFont(resources.path() / "soundfont1.sf2"));
    early->preloadPatches(0, {0}, 0, 0);
    early->preloadPatches2({0});
    early->preloadPatch(0, 0, 0, 0);
    early->initialize();
    const auto lines = drainedLines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "AudioUnitMIDISynth::loadSoundFont(): ERROR: The audio unit (early) is nil.");
    EXPECT_EQ(lines[2], "AudioUnitMIDISynth::preloadPatches(): ERROR: The audio unit (early) is nil.");
    EXPECT_EQ(lines[3], "AudioUnitMIDISynth::preloadPatches2(): ERROR: The audio unit (early) is nil.");
    EXPECT_EQ(lines[4], "AudioUnitMIDISynth::preloadPatch(): ERROR: The audio unit (early) is nil.");
}

TEST_F(WrapperTest, MIDIOutputOfTheUnitReachesTheDelegateFromItsFirstStatusByte) {
    RecordingSynth::reportsMIDIOutput = true;
    wrapper = makeWrapper();
    EXPECT_THAT(drainedLines(),
                ::testing::Contains("AudioUnitMIDISynth::create(): The audio unit reports MIDI output names. "
                                    "Assigning a handling block."));
    const AUMIDIOutputEventBlock out = wrapper->audioUnit()->MIDIOutputEventBlock();
    ASSERT_TRUE(out);
    const uint8_t note[] = {0x90, 60, 100};
    const uint8_t data[] = {0x40, 60, 100};
    EXPECT_EQ(out(0, 0, 3, note), foundation::noErr);
    EXPECT_EQ(out(0, 0, 3, data), foundation::noErr);
    EXPECT_THAT(delegate.midi, ElementsAre(ElementsAre(0x90, 60, 100)));
}

TEST_F(WrapperTest, UnitWithoutMIDIOutputGetsNoForwardingBlock) {
    EXPECT_FALSE(wrapper->audioUnit()->MIDIOutputEventBlock());
}

}  // namespace
}  // namespace midisynth_test
