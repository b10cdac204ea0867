// The real output thread, against ALSA's "null" device (no sound card needed), and graph changes while it pulls.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/audioengine/AlsaOutput.h"
#include "platform/audioengine/Engine.h"
#include "platform/audioengine/EqualizerNode.h"
#include "platform/audioengine/LimiterNode.h"
#include "platform/audioengine/ReverbNode.h"
#include "platform/audioengine/UnitNode.h"
#include "tests/platform/audioengine/TestSignals.h"
#include "tests/platform/audiounit/RecordingInstrument.h"

using namespace audioengine;
using namespace audioengine::testing;

namespace {

// Waits for the output thread to deliver at least frames frames (it is not paced by a clock on the null device).
bool waitForFrames(const AlsaOutput& output, uint64_t frames) {
    for (int i = 0; i < 2000 && output.framesDelivered() < frames; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return output.framesDelivered() >= frames;
}

}  // namespace

TEST(AlsaOutput, PlaysThroughTheNullDeviceOnItsOwnThread) {
    auto output = std::make_unique<AlsaOutput>("null", 48000.0, 256);
    AlsaOutput* alsa = output.get();
    Engine engine(std::move(output));
    auto sine = std::make_shared<SineNode>(440.0, 0.5f);
    engine.attach(sine);
    engine.connect(sine, engine.mainMixerNode(), engine.outputFormat());
    std::string error;
    ASSERT_TRUE(engine.start(&error)) << error;
    ASSERT_TRUE(waitForFrames(*alsa, 48000));
    EXPECT_GT(sine->lastRenderSampleTime(), 0);
    EXPECT_EQ(alsa->failure(), "");
    engine.stop();
    const uint64_t delivered = alsa->framesDelivered();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(alsa->framesDelivered(), delivered) << "nothing is pulled after stop";
}

TEST(AlsaOutput, AMissingDeviceIsAClearErrorNotAHang) {
    Engine engine(std::make_unique<AlsaOutput>("tunedeck_no_such_device"));
    std::string error;
    EXPECT_FALSE(engine.start(&error));
    EXPECT_NE(error.find("cannot open ALSA PCM device 'tunedeck_no_such_device'"), std::string::npos) << error;
    EXPECT_FALSE(engine.isRunning());
}

TEST(EngineThreads, GraphChangesWhileTheOutputThreadPulls) {
    auto output = std::make_unique<AlsaOutput>("null", 48000.0, 64);
    AlsaOutput* alsa = output.get();
    Engine engine(std::move(output));
    auto sine = std::make_shared<SineNode>(440.0, 0.5f);
    auto reverb = std::make_shared<ReverbNode>();
    auto eq = std::make_shared<EqualizerNode>(3);
    auto limiter = std::make_shared<LimiterNode>();
    for (const std::shared_ptr<Node>& node : {std::shared_ptr<Node>(sine), std::shared_ptr<Node>(reverb),
                                              std::shared_ptr<Node>(eq), std::shared_ptr<Node>(limiter)})
        engine.attach(node);
    const AudioFormat format = engine.outputFormat();
    ASSERT_TRUE(engine.start());
    for (int round = 0; round < 50; ++round) {
        engine.connect(sine, reverb, format);
        engine.connect(reverb, eq, format);
        engine.connect(eq, limiter, format);
        engine.connect(limiter, engine.mainMixerNode(), format);
        reverb->setWetDryMix(static_cast<float>(round));
        reverb->loadFactoryPreset(static_cast<ReverbPreset>(round % 13));
        eq->bands()[1]->setGain(static_cast<float>(round % 12));
        eq->bands()[1]->setBypass(round % 2 == 0);
        limiter->setSettings({0.001 * (round % 20), 0.05, 6.0, -1.0});
        engine.mainMixerNode()->setOutputVolume(0.5f);
        const uint64_t before = alsa->framesDelivered();
        ASSERT_TRUE(waitForFrames(*alsa, before + 256));
        engine.disconnectNodeOutput(eq);
        engine.detach(reverb);
        engine.attach(reverb);
    }
    engine.stop();
    EXPECT_EQ(alsa->failure(), "");
}

TEST(EngineThreads, AnInstrumentJoinsTheRunningGraphAndHearsMIDIFromAnotherThread) {
    auto output = std::make_unique<AlsaOutput>("null", 48000.0, 128);
    AlsaOutput* alsa = output.get();
    Engine engine(std::move(output));
    ASSERT_TRUE(engine.start());
    auto unit = std::make_shared<audiounit_testing::RecordingInstrument>();
    auto instrument = std::make_shared<UnitNode>(unit);
    auto limiter = std::make_shared<LimiterNode>();
    engine.attach(instrument);
    engine.attach(limiter);
    ASSERT_TRUE(engine.connect(instrument, limiter, engine.outputFormat()));
    ASSERT_TRUE(engine.connect(limiter, engine.mainMixerNode(), engine.outputFormat()));
    EXPECT_TRUE(unit->renderResourcesAllocated());

    const auto schedule = unit->scheduleMIDIEventBlock();
    std::thread midiInput([&] {
        for (uint8_t note = 0; note < 100; ++note) {
            const uint8_t message[] = {0x90, note, 100};
            schedule(kAUEventSampleTimeImmediate, 0, 3, message);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    midiInput.join();
    for (int i = 0; i < 2000 && unit->seenCount() < 100; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_EQ(unit->seenCount(), 100U);
    for (size_t i = 0; i < 100; ++i) EXPECT_EQ(unit->seen(i).bytes[1], i);
    engine.detach(instrument);
    EXPECT_FALSE(unit->renderResourcesAllocated());
    engine.stop();
    EXPECT_EQ(alsa->failure(), "");
}
