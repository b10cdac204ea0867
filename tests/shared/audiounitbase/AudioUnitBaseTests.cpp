#include <algorithm>

#include "tests/shared/audiounitbase/WrapperFixture.h"

using namespace wrapper_testing;

TEST_F(WrapperTest, CreateAttachesTheUnitReadsItsParametersAndTellsTheDelegate) {
    const auto wrapper = makeWrapper();
    EXPECT_EQ(AudioUnitBase::lastAudioUnitBase(), wrapper.get());
    wrapper->create("Wrapped (test)");
    ASSERT_TRUE(wrapper->avAudioUnit);
    EXPECT_EQ(wrapper->avAudioUnit->engine(), engine.get());
    EXPECT_EQ(wrapper->audioUnit()->contextName(), "Wrapped (test)");
    EXPECT_EQ(wrapper->audioNode(), wrapper->avAudioUnit);
    EXPECT_NE(wrapper->parameterObserverToken, 0U);
    EXPECT_EQ(delegate.found, (std::vector<AudioUnitBase*>{wrapper.get()}));
    EXPECT_TRUE(wrapper->isMIDIGenerator());
    EXPECT_TRUE(wrapper->isMIDIReceiver());
    EXPECT_TRUE(wrapper->audioUnit()->MIDIOutputEventBlock()) << "the unit's MIDI output is forwarded";

    EXPECT_TRUE(logged("AudioUnitBase:create(): The audio unit reports MIDI output names. Assigning a handling block."));
    EXPECT_TRUE(logged(" - 'Wrapped MIDI Out'"));
    EXPECT_TRUE(logged("AudioUnitBase::makeParameters(): Retriving parameters from the audio unit (Wrapped (test)): "));
    EXPECT_TRUE(logged("AudioUnitBase::makeParameters(): Connected parameters to the observer (Wrapped (test))."));
    EXPECT_TRUE(logged("\n\tAudioUnitBase::printParameter(): Folllowing AU parameter Wrapped (test) was found... "));
    EXPECT_TRUE(logged("\t- unit: decibels"));
    EXPECT_TRUE(logged("\t  flag_IsReadable"));
    EXPECT_TRUE(logged("-> main"));

    wrapper->destroy();
    EXPECT_FALSE(wrapper->avAudioUnit);
    EXPECT_EQ(engine->attachedNodes().size(), 2U) << "only the output and the main mixer are left";
    wrapper->create("again");
    EXPECT_TRUE(wrapper->avAudioUnit);
}

TEST_F(WrapperTest, ParametersByAddressWithTheirRefusals) {
    const auto wrapper = makeWrapper();
    wrapper->setParameter(900, -6.0f);
    EXPECT_TRUE(logged("AudioUnitBase::setParameter(): ERROR: The parameter tree is not initialized."));
    EXPECT_EQ(wrapper->getParameter(900), 0.0f);
    EXPECT_TRUE(logged("AudioUnitBase::getParameter(): ERROR: The parameter tree is not initialized."));

    wrapper->create("Synth");
    wrapper->setParameter(900, -6.0f);
    wrapper->setParameter(901, 24.0f);  // beyond its range: not clamped
    EXPECT_EQ(wrapper->getParameter(900), -6.0f);
    EXPECT_EQ(wrapper->getParameter(901), 24.0f);
    EXPECT_EQ(wrapper->getParameter(902), 0.0f);
    EXPECT_TRUE(logged("AudioUnitBase::getParameter(): ERROR: The parameter address 902 is not therein Synth."));
    wrapper->setParameter(1189, 1.0f);
    EXPECT_TRUE(logged("AudioUnitBase::setParameter(): ERROR: The parameter address 1189 is not there in Synth."));
}

TEST_F(WrapperTest, ParameterChangesReachTheDelegateOnTheMainQueue) {
    const auto wrapper = makeWrapper();
    wrapper->create("Synth");
    wrapper->audioUnit()->parameterTree()->parameterWithAddress(901)->setValue(3.0f);
    EXPECT_TRUE(delegate.parameters.empty());
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(delegate.parameters, (std::vector<std::pair<uint64_t, float>>{{901, 3.0f}}));
}

TEST_F(WrapperTest, MIDIOutputFollowsTheForwardingRule) {
    const auto wrapper = makeWrapper();
    wrapper->create("Synth");
    const auto block = wrapper->audioUnit()->MIDIOutputEventBlock();
    const uint8_t dataByte[] = {0x3C, 0x40, 0x00};
    const uint8_t noteOn[] = {0x92, 0x3C, 0x40};
    EXPECT_EQ(block(100, 0, 3, dataByte), foundation::noErr);
    EXPECT_TRUE(delegate.midi.empty()) << "a message without a status byte is dropped";
    EXPECT_EQ(block(kAUEventSampleTimeImmediate + 5, 1, 3, noteOn), foundation::noErr);
    ASSERT_EQ(delegate.midi.size(), 1U);
    EXPECT_EQ(delegate.midi[0].time, kAUEventSampleTimeImmediate + 5);
    EXPECT_EQ(delegate.midi[0].cable, 1);
    EXPECT_EQ(delegate.midi[0].bytes, (std::vector<uint8_t>{0x92, 0x3C, 0x40}));

    wrapper->delegate = nullptr;
    EXPECT_EQ(wrapper->midi(0, 0, 3, noteOn), foundation::noErr);
    EXPECT_TRUE(logged("WARNING: No delegate defined for Audio Unit MIDI messages."));
}

TEST_F(WrapperTest, WarningsWithoutRoomOnTheRenderThreadAreLoggedAsACount) {
    const auto wrapper = makeWrapper();
    wrapper->delegate = nullptr;
    const uint8_t noteOn[] = {0x92, 0x3C, 0x40};
    for (int i = 0; i < 70; ++i) wrapper->midi(0, 0, 3, noteOn);
    const auto lines = drainedLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "WARNING: No delegate defined for Audio Unit MIDI messages."), 64);
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "AudioUnitBase::midi() : 6 log lines of the render thread found no room and were dropped."),
              1);
}

TEST_F(WrapperTest, StaticMIDIGoesToTheLastWrapper) {
    const uint8_t zero[] = {0x00, 0x00, 0x00};
    const uint8_t clock[] = {0xF8};
    {
        const auto wrapper = makeWrapper();
        EXPECT_EQ(midi_static(0, 0, 3, zero), foundation::noErr);
        EXPECT_TRUE(delegate.midi.empty());
        EXPECT_EQ(midi_static(7, 0, 1, clock), foundation::noErr);
        ASSERT_EQ(delegate.midi.size(), 1U);
        EXPECT_EQ(delegate.midi[0].bytes, (std::vector<uint8_t>{0xF8}));
    }
    EXPECT_EQ(AudioUnitBase::lastAudioUnitBase(), nullptr) << "a destroyed wrapper is no longer reachable";
    EXPECT_EQ(midi_static(7, 0, 1, clock), foundation::noErr);
    EXPECT_TRUE(logged("WARNING: No delegate defined for Audio Unit MIDI messages."));
}

TEST_F(WrapperTest, WithoutANodeOperationsOnlyLog) {
    const auto wrapper = makeWrapper();
    wrapper->contextName = "Nothing";
    EXPECT_FALSE(wrapper->isMIDIGenerator());
    EXPECT_FALSE(wrapper->isMIDIReceiver());
    wrapper->makeParameters();
    wrapper->destroy();
    EXPECT_TRUE(logged("AudioUnitBase::isMIDIGenerator(): ERROR: The audio unit (Nothing) is nil."));
    EXPECT_TRUE(logged("AudioUnitBase::isMIDIReceiver(): ERROR: The audio unit (Nothing) is nil."));
    EXPECT_TRUE(logged("AudioUnitBase::makeParameters(): ERROR: The audio unit (Nothing) is nil."));

    AudioUnitBase engineless(nullptr);
    engineless.destroy();
    EXPECT_TRUE(logged("AudioUnitBase::destroy(): ERROR: Engine is nil."));
}
