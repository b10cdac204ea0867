// The built extension module as a host finds it: its component listed in the registry by description, a unit made
// from it that plays.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "tests/shared/events/EventListBuilder.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

constexpr AudioComponentDescription kInstrument{0x61756D75, 0x7142766E, 0x4B57424C, 0, 0};

class ExtensionModule : public ::testing::Test {
protected:
    void SetUp() override {
        environment.set("TUNEDECK_DOCUMENTS", (folder.path() / "Documents").string());
        registry.addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
        EXPECT_TRUE(registry.loadModules().empty());
    }
    void TearDown() override { dispatch::MainQueue::shared().drain(); }

    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    AudioComponentRegistry registry;
};

TEST_F(ExtensionModule, ListsTheInstrumentUnderItsDescription) {
    for (const AudioComponentDescription searched :
         {kInstrument, AudioComponentDescription{0x61756D75, 0, 0, 0, 0},
          AudioComponentDescription{0x61756D75, 0x7142766E, 0x4B57424C, 2, 0}}) {
        const auto components = registry.components(searched);
        ASSERT_EQ(components.size(), 1u);
        EXPECT_EQ(components[0].name(), "KWBL: Orvo Tunedeck Extension");
        EXPECT_EQ(components[0].description().componentSubType, kInstrument.componentSubType);
        EXPECT_NE(components[0].modulePath().find("Orvo-Tunedeck2-Extension"), std::string::npos);
    }
}

TEST_F(ExtensionModule, InstantiatedInstrumentPlaysAHostNote) {
    std::shared_ptr<AUAudioUnit> unit;
    registry.instantiateAsync(kInstrument, [&unit](std::shared_ptr<AUAudioUnit> made, foundation::OSStatus status) {
        EXPECT_EQ(status, foundation::noErr);
        unit = std::move(made);
    });
    dispatch::MainQueue::shared().drain();
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->MIDIOutputNames(), std::vector<std::string>{"Orvo Tunedeck MIDI OUT"});
    EXPECT_EQ(unit->parameterTree()->allParameters().size(), 165u);
    EXPECT_EQ(unit->audioUnitName(), "Orvo Tunedeck Extension");

    int sent = 0;
    unit->setMIDIOutputEventBlock([&sent](AUEventSampleTime, std::uint8_t, std::int64_t, const std::uint8_t*) {
        ++sent;
        return foundation::noErr;
    });
    unit->setMaximumFramesToRender(512);
    unit->allocateRenderResources();
    const AURenderBlock render = unit->renderBlock();
    std::vector<float> left(512), right(512);
    double energy = 0.0;
    for (int call = 0; call < 4; ++call) {
        EventListBuilder host;
        if (call == 0) {
            host.midi(0, {0x90, 0x45, 0x64});
        }
        AudioBufferList buffers = stereoBufferList(left.data(), right.data(), 512);
        AudioTimeStamp timestamp;
        timestamp.mSampleTime = call * 512.0;
        AudioUnitRenderActionFlags flags = 0;
        ASSERT_EQ(render(&flags, &timestamp, 512, 0, &buffers, host.head(), nullptr), foundation::noErr);
        for (const float sample : left) {
            energy += static_cast<double>(sample) * sample;
        }
    }
    EXPECT_EQ(sent, 1);
    EXPECT_GT(energy, 1e-3);
    dispatch::MainQueue::shared().drain();
    unit->deallocateRenderResources();
    unit.reset();
}

}  // namespace
