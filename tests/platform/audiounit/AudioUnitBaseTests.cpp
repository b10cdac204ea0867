#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/foundation/PropertyList.h"
#include "tests/platform/audiounit/RecordingInstrument.h"

using namespace audiounit_testing;

namespace {

struct Render {
    std::vector<float> left = std::vector<float>(4096, -1.0f);
    std::vector<float> right = std::vector<float>(4096, -1.0f);
    AudioBufferList buffers = stereoBufferList(left.data(), right.data(), 0);
    foundation::OSStatus status = 0;

    Render(AUAudioUnit& unit, int64_t sampleTime, uint32_t frames, const AURenderEvent* events = nullptr,
           bool withBuffers = true, int64_t bus = 0) {
        buffers = withBuffers ? stereoBufferList(left.data(), right.data(), frames)
                              : stereoBufferList(nullptr, nullptr, frames);
        AudioTimeStamp timestamp;
        timestamp.mSampleTime = static_cast<double>(sampleTime);
        timestamp.mFlags = kAudioTimeStampSampleTimeValid;
        AudioUnitRenderActionFlags flags = 0;
        status = unit.renderBlock()(&flags, &timestamp, frames, bus, &buffers, events, {});
    }
};

std::shared_ptr<AUParameterTree> twoParameterTree() {
    constexpr auto rw = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;
    return AUParameterTree::createTree(
        {AUParameterTree::createParameter("gain", "Gain", 7, 0, 1, kAudioUnitParameterUnit_Generic, std::nullopt, rw),
         AUParameterTree::createParameter("tune", "Tune", 900, -12, 12, kAudioUnitParameterUnit_RelativeSemiTones,
                                          std::nullopt, rw)});
}

class UserPresetInstrument : public RecordingInstrument {
public:
    bool supportsUserPresets() const override { return true; }
};

// Points the user presets at a fresh folder for the test's life.
class UserPresetsFolder {
public:
    UserPresetsFolder() {
        const char* root = std::getenv("TUNEDECK_TEST_TMP");
        folder_ = std::filesystem::path(root != nullptr ? root : "/tmp") / "audiounit-user-presets";
        std::filesystem::remove_all(folder_);
        setenv("TUNEDECK_USER_PRESETS", folder_.c_str(), 1);
    }
    ~UserPresetsFolder() { unsetenv("TUNEDECK_USER_PRESETS"); }
    const std::filesystem::path& path() const { return folder_; }

private:
    std::filesystem::path folder_;
};

}  // namespace

TEST(AudioUnitBase, RendersOnlyWhenAllocatedAndWithinTheFrameMaximum) {
    RecordingInstrument unit;
    EXPECT_EQ(Render(unit, 0, 64).status, foundation::kAudioUnitErr_Uninitialized);
    unit.setMaximumFramesToRender(512);
    unit.allocateRenderResources();
    EXPECT_TRUE(unit.renderResourcesAllocated());

    struct Case {
        uint32_t frames;
        int64_t bus;
        foundation::OSStatus status;
    };
    for (const Case& c : {Case{512, 0, foundation::noErr}, Case{513, 0, foundation::kAudioUnitErr_TooManyFramesToProcess},
                          Case{64, 1, foundation::kAudioUnitErr_InvalidElement}}) {
        Render render(unit, 0, c.frames, nullptr, true, c.bus);
        EXPECT_EQ(render.status, c.status) << c.frames << " frames, bus " << c.bus;
        EXPECT_EQ(render.left[0], c.status == foundation::noErr ? 0.25f : -1.0f) << "refused renders write nothing";
    }
    unit.deallocateRenderResources();
    EXPECT_EQ(Render(unit, 0, 64).status, foundation::kAudioUnitErr_Uninitialized);
}

TEST(AudioUnitBase, ProvidesBuffersWhenTheHostPassesNone) {
    RecordingInstrument unit;
    unit.allocateRenderResources();
    Render render(unit, 0, 128, nullptr, false);
    ASSERT_EQ(render.status, foundation::noErr);
    ASSERT_NE(render.buffers.mBuffers[0].mData, nullptr);
    ASSERT_NE(render.buffers.mBuffers[1].mData, render.buffers.mBuffers[0].mData);
    EXPECT_EQ(static_cast<float*>(render.buffers.mBuffers[1].mData)[127], 0.25f);
    EXPECT_EQ(render.buffers.mBuffers[0].mDataByteSize, 128 * sizeof(float));

    unit.deallocateRenderResources();
    unit.outputBusses()[0]->setShouldAllocateBuffer(false);
    unit.allocateRenderResources();
    EXPECT_EQ(Render(unit, 0, 128, nullptr, false).status, foundation::kAudioUnitErr_InvalidElement);
}

TEST(AudioUnitBase, BusFormatsChangeOnlyWhileNotAllocated) {
    RecordingInstrument unit;
    EXPECT_EQ(unit.inputBusses().count(), 0U);
    ASSERT_EQ(unit.outputBusses().count(), 1U);
    AUAudioUnitBus& bus = *unit.outputBusses()[0];
    EXPECT_EQ(bus.format(), AudioFormat::standard(48000.0, 2));
    EXPECT_FALSE(bus.setFormat(AudioFormat::standard(44100.0, 6)));
    EXPECT_TRUE(bus.setFormat(AudioFormat::standard(44100.0, 2)));
    unit.allocateRenderResources();
    EXPECT_FALSE(bus.setFormat(AudioFormat::standard(96000.0, 2)));
    EXPECT_EQ(bus.format().sampleRate, 44100.0);

    RecordingInstrument effect({fourCC("aufx"), fourCC("efct"), fourCC("Test"), 0, 0});
    EXPECT_EQ(effect.inputBusses().count(), 1U);
}

TEST(AudioUnitBase, ScheduledMIDIJoinsTheNextRenderOnceAndInTimeOrderWithTheHostsEvents) {
    RecordingInstrument unit;
    unit.allocateRenderResources();
    const auto schedule = unit.scheduleMIDIEventBlock();
    ASSERT_TRUE(schedule);
    const uint8_t noteOn[] = {0x90, 60, 100};
    const uint8_t noteOff[] = {0x80, 60, 0};
    schedule(kAUEventSampleTimeImmediate, 0, 3, noteOn);
    schedule(1010, 0, 3, noteOff);

    // The host's own list: a note at 1005 and a parameter event at 1020.
    AURenderEvent hostNote{};
    hostNote.MIDI = {nullptr, 1005, AURenderEventMIDI, 0, 3, 0, {0x91, 64, 90}};
    AURenderEvent hostParameter{};
    hostParameter.parameter = {nullptr, 1020, AURenderEventParameter, {0, 0, 0}, 0, 7, 0.5f};
    hostNote.MIDI.next = &hostParameter;

    ASSERT_EQ(Render(unit, 1000, 64, &hostNote).status, foundation::noErr);
    ASSERT_EQ(unit.seenCount(), 4U);
    EXPECT_EQ(unit.seen(0).time, kAUEventSampleTimeImmediate);
    EXPECT_EQ(unit.seen(0).bytes[0], 0x90);
    EXPECT_EQ(unit.seen(1).time, 1005);
    EXPECT_EQ(unit.seen(1).bytes[0], 0x91);
    EXPECT_EQ(unit.seen(2).time, 1010);
    EXPECT_EQ(unit.seen(2).bytes[0], 0x80);
    EXPECT_EQ(unit.seen(3).type, AURenderEventParameter);
    EXPECT_EQ(hostNote.MIDI.next, &hostParameter) << "the host's list is left as it was";

    ASSERT_EQ(Render(unit, 1064, 64).status, foundation::noErr);
    EXPECT_EQ(unit.seenCount(), 4U) << "delivered once";
}

TEST(AudioUnitBase, ScheduledSystemExclusiveKeepsItsBytesAndOverlongMessagesAreDropped) {
    RecordingInstrument unit;
    unit.allocateRenderResources();
    const auto schedule = unit.scheduleMIDIEventBlock();
    const uint8_t sysex[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    std::vector<uint8_t> overlong(ScheduledMIDIQueue::kMaximumMessageBytes + 1, 0xF0);
    schedule(kAUEventSampleTimeImmediate, 1, 6, sysex);
    schedule(kAUEventSampleTimeImmediate, 0, static_cast<int64_t>(overlong.size()), overlong.data());
    schedule(kAUEventSampleTimeImmediate, 0, 0, sysex);
    Render(unit, 0, 32);
    ASSERT_EQ(unit.seenCount(), 1U);
    EXPECT_EQ(unit.seen(0).type, AURenderEventMIDISysEx);
    EXPECT_EQ(unit.seen(0).length, 6);
    EXPECT_EQ(unit.seen(0).bytes[5], 0xF7);
    EXPECT_EQ(unit.droppedScheduledMIDICount(), 2U);
}

TEST(AudioUnitBase, MusicDeviceCallsQueueShortMessagesAndPropertiesAreRefusedByDefault) {
    RecordingInstrument unit;
    unit.allocateRenderResources();
    EXPECT_EQ(unit.musicDeviceMIDIEvent(0xC9, 130, 0, 7), foundation::noErr);
    EXPECT_EQ(unit.musicDeviceMIDIEvent(0x90, 60, 100, 0), foundation::noErr);
    Render(unit, 0, 32);
    ASSERT_EQ(unit.seenCount(), 2U);
    EXPECT_EQ(unit.seen(0).time, kAUEventSampleTimeImmediate + 7);
    EXPECT_EQ(unit.seen(0).length, 2) << "a program change has two bytes";
    EXPECT_EQ(unit.seen(0).bytes[1], 130 & 0x7F) << "data bytes keep seven bits";
    EXPECT_EQ(unit.seen(1).length, 3);

    const uint32_t on = 1;
    EXPECT_EQ(unit.setProperty(kAUMIDISynthProperty_EnablePreload, kAudioUnitScope_Global, 0, &on, sizeof on),
              foundation::kAudioUnitErr_InvalidProperty);
    uint32_t read = 0;
    EXPECT_EQ(unit.getProperty(kAUMIDISynthProperty_EnablePreload, kAudioUnitScope_Global, 0, &read, sizeof read),
              foundation::kAudioUnitErr_InvalidProperty);
    RecordingInstrument generator({fourCC("augn"), fourCC("gene"), fourCC("Test"), 0, 0});
    EXPECT_EQ(generator.musicDeviceMIDIEvent(0x90, 60, 100, 0), foundation::kAudio_UnimplementedError);
}

TEST(AudioUnitBase, OnlyUnitsThatTakeMIDIOfferTheScheduleBlock) {
    RecordingInstrument generator({fourCC("augn"), fourCC("gene"), fourCC("Test"), 0, 0});
    EXPECT_FALSE(generator.scheduleMIDIEventBlock());
    EXPECT_FALSE(generator.isMusicDeviceOrEffect());
    RecordingInstrument instrument;
    EXPECT_TRUE(instrument.isMusicDeviceOrEffect());
}

TEST(AudioUnitBase, KeepsTheHostsMIDIOutputBlockAndTheBypassSwitch) {
    RecordingInstrument unit;
    EXPECT_FALSE(unit.MIDIOutputEventBlock());
    std::vector<uint8_t> sent;
    unit.setMIDIOutputEventBlock([&](AUEventSampleTime, uint8_t, int64_t length, const uint8_t* bytes) {
        sent.assign(bytes, bytes + length);
        return foundation::noErr;
    });
    const uint8_t message[] = {0xB0, 7, 100};
    ASSERT_TRUE(unit.MIDIOutputEventBlock());
    EXPECT_EQ(unit.MIDIOutputEventBlock()(0, 0, 3, message), foundation::noErr);
    EXPECT_EQ(sent, (std::vector<uint8_t>{0xB0, 7, 100}));

    EXPECT_FALSE(unit.shouldBypassEffect());
    unit.setShouldBypassEffect(true);
    EXPECT_TRUE(unit.shouldBypassEffect());
}

TEST(AudioUnitBase, FullStateCarriesTheParametersBackToAUnitOfTheSameKind) {
    RecordingInstrument source;
    source.setParameterTree(twoParameterTree());
    source.parameterTree()->parameterWithAddress(7)->setValue(0.75f);
    source.parameterTree()->parameterWithAddress(900)->setValue(-3.0f);
    const auto state = source.fullState();
    ASSERT_TRUE(state);

    // Through a property list file and back, as a host would keep it.
    const char* root = std::getenv("TUNEDECK_TEST_TMP");
    const auto file = std::filesystem::path(root != nullptr ? root : "/tmp") / "audiounit-full-state.plist";
    std::string error;
    ASSERT_TRUE(foundation::writePlistFile(file, foundation::PlistValue(*state), error)) << error;
    const auto read = foundation::readPlistFile(file, error);
    ASSERT_TRUE(read && read->root.dictionary()) << error;

    RecordingInstrument same;
    same.setParameterTree(twoParameterTree());
    same.setFullState(*read->root.dictionary());
    EXPECT_EQ(same.parameterTree()->parameterWithAddress(7)->value(), 0.75f);
    EXPECT_EQ(same.parameterTree()->parameterWithAddress(900)->value(), -3.0f);

    RecordingInstrument other({fourCC("aumu"), fourCC("othr"), fourCC("Test"), 0, 0});
    other.setParameterTree(twoParameterTree());
    other.setFullState(*state);
    EXPECT_EQ(other.parameterTree()->parameterWithAddress(7)->value(), 0.0f) << "another kind of unit ignores it";
}

TEST(AudioUnitBase, UserPresetsAreSavedListedAppliedAndDeletedWithTheirStatusErrors) {
    UserPresetsFolder folder;
    UserPresetInstrument unit;
    unit.setParameterTree(twoParameterTree());
    auto expectStatus = [](auto&& operation, foundation::OSStatus status) {
        try {
            operation();
            ADD_FAILURE() << "no error, expected " << status;
        } catch (const AudioUnitStatusError& error) {
            EXPECT_EQ(error.status(), status) << error.what();
        }
    };

    unit.parameterTree()->parameterWithAddress(7)->setValue(0.6f);
    unit.saveUserPreset({-1, "Warm"});
    unit.parameterTree()->parameterWithAddress(7)->setValue(0.1f);
    unit.saveUserPreset({-1, "Cold"});
    EXPECT_EQ(unit.userPresets(), (std::vector<AUAudioUnitPreset>{{-1, "Cold"}, {-2, "Warm"}}));

    unit.setCurrentPreset(AUAudioUnitPreset{-2, "Warm"});
    EXPECT_EQ(unit.parameterTree()->parameterWithAddress(7)->value(), 0.6f);
    EXPECT_EQ(unit.currentPreset(), (AUAudioUnitPreset{-2, "Warm"}));

    unit.setCurrentPreset(AUAudioUnitPreset{-5, "Missing"});
    EXPECT_EQ(unit.currentPreset(), (AUAudioUnitPreset{-2, "Warm"})) << "a preset that cannot be applied changes nothing";
    unit.setCurrentPreset(AUAudioUnitPreset{0, "No such factory preset"});
    EXPECT_EQ(unit.currentPreset(), (AUAudioUnitPreset{-2, "Warm"}));

    expectStatus([&] { unit.presetStateFor({-5, "Missing"}); }, foundation::kAudioUnitErr_InvalidFilePath);
    expectStatus([&] { unit.saveUserPreset({3, "Factory number"}); }, foundation::kAudioUnitErr_InvalidPropertyValue);
    expectStatus([&] { unit.saveUserPreset({-1, "../escape"}); }, foundation::kAudioUnitErr_InvalidPropertyValue);
    expectStatus([&] { unit.deleteUserPreset({-9, "Missing"}); }, foundation::kAudioUnitErr_InvalidFilePath);
    expectStatus([&] { RecordingInstrument().saveUserPreset({-1, "x"}); }, foundation::kAudio_UnimplementedError);

    std::filesystem::create_directories(unit.userPresetsFolder());
    std::ofstream(unit.userPresetsFolder() / "Broken.aupreset") << "not a property list";
    expectStatus([&] { unit.presetStateFor({-1, "Broken"}); }, foundation::kAudioUnitErr_InvalidFilePath);

    unit.deleteUserPreset({-2, "Warm"});
    EXPECT_FALSE(unit.currentPreset());
    EXPECT_EQ(unit.userPresets().size(), 2U);  // Broken and Cold
    EXPECT_FALSE(std::filesystem::exists(folder.path() / ".." / "escape.aupreset"));
}

TEST(AudioUnitBase, DescribesItselfWithNeutralDefaults) {
    RecordingInstrument unit;
    unit.setComponentIdentity("Test Maker: Recorder", 7);
    unit.setContextName("in a test");
    EXPECT_EQ(unit.audioUnitName(), "Recorder");
    EXPECT_EQ(unit.manufacturerName(), "Test Maker");
    EXPECT_EQ(unit.componentVersion(), 7U);
    EXPECT_EQ(unit.contextName(), "in a test");
    EXPECT_EQ(unit.latency(), 0.0);
    EXPECT_EQ(unit.tailTime(), 0.0);
    EXPECT_TRUE(unit.channelCapabilities().empty());
    EXPECT_TRUE(unit.MIDIOutputNames().empty());
    EXPECT_EQ(unit.supportedViewConfigurations({{}, {}}), (std::vector<size_t>{0, 1}));
    unit.setParameterTree(twoParameterTree());
    EXPECT_EQ(unit.parametersForOverview(1), (std::vector<AUParameterAddress>{7}));
}
