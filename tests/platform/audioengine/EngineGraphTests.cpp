#include <gtest/gtest.h>

#include "platform/audioengine/AudioSession.h"
#include "platform/audioengine/MixerNode.h"
#include "platform/audioengine/NullOutput.h"
#include "tests/platform/audioengine/ManualEngine.h"
#include "tests/platform/audioengine/TestSignals.h"

using namespace audioengine;
using namespace audioengine::testing;

TEST(EngineGraph, DefaultEngineUsesTheSessionRateAndANullOutputThatNeverPulls) {
    Engine engine;
    EXPECT_EQ(engine.outputFormat(), AudioFormat::standard(AudioSession::sharedInstance().preferredSampleRate(), 2));
    EXPECT_EQ(engine.outputNode()->inputFormat(0).sampleRate, 48000.0);
    EXPECT_EQ(engine.outputNode()->outputFormat(0), engine.outputFormat()) << "the hardware format";
    std::string error;
    ASSERT_TRUE(engine.start(&error)) << error;
    EXPECT_TRUE(engine.isRunning());
    std::vector<float> left(16), right(16);
    EXPECT_FALSE(engine.renderOffline(16, left.data(), right.data()));
    engine.stop();
    EXPECT_FALSE(engine.isRunning());
}

TEST(EngineGraph, ManualRenderingNeedsARunningEngine) {
    ManualEngine m;
    m.render(64);
    EXPECT_FALSE(m.rendered);
    ASSERT_TRUE(m.engine.start());
    auto out = m.render(64);
    EXPECT_TRUE(m.rendered);
    EXPECT_EQ(peak(out.left), 0.0f);  // nothing feeds the main mixer
}

TEST(EngineGraph, MainMixerSumsItsInputsAndAppliesItsVolume) {
    ManualEngine m;
    auto a = std::make_shared<SineNode>(1000.0, 0.25f);
    auto b = std::make_shared<SineNode>(1000.0, 0.5f);
    m.engine.attach(a);
    m.engine.attach(b);
    ASSERT_TRUE(m.engine.connect(a, m.engine.mainMixerNode(), m.format()));
    ASSERT_TRUE(m.engine.connect(b, m.engine.mainMixerNode(), m.format()));
    EXPECT_EQ(a->outputFormat(0), m.format());
    ASSERT_TRUE(m.engine.start());
    EXPECT_NEAR(peak(m.render(4800).left), 0.75f, 1e-3);

    m.engine.mainMixerNode()->setOutputVolume(0.0f);
    m.render(512);  // the ramp to the new volume
    EXPECT_EQ(peak(m.render(4800).right), 0.0f);
}

TEST(EngineGraph, ConnectionsReplaceAndDetachDisconnects) {
    ManualEngine m;
    auto sine = std::make_shared<SineNode>(500.0, 0.5f);
    auto limiter = std::make_shared<MixerNode>();
    m.engine.attach(sine);
    m.engine.attach(limiter);
    ASSERT_TRUE(m.engine.connect(sine, m.engine.mainMixerNode(), m.format()));
    // Connecting the sine elsewhere moves its only output.
    ASSERT_TRUE(m.engine.connect(sine, limiter, m.format()));
    ASSERT_TRUE(m.engine.start());
    EXPECT_EQ(peak(m.render(960).left), 0.0f);

    ASSERT_TRUE(m.engine.connect(limiter, m.engine.mainMixerNode(), m.format()));
    EXPECT_NEAR(peak(m.render(960).left), 0.5f, 1e-3);

    m.engine.disconnectNodeInput(limiter);
    EXPECT_EQ(peak(m.render(960).left), 0.0f);

    ASSERT_TRUE(m.engine.connect(sine, limiter, m.format()));
    EXPECT_NEAR(peak(m.render(960).left), 0.5f, 1e-3);
    m.engine.detach(sine);
    EXPECT_EQ(sine->engine(), nullptr);
    EXPECT_EQ(peak(m.render(960).left), 0.0f);
    EXPECT_EQ(m.engine.attachedNodes().size(), 3U);  // output, main mixer, the second mixer
}

TEST(EngineGraph, RefusesWhatCannotBeConnected) {
    ManualEngine m;
    auto a = std::make_shared<MixerNode>();
    auto b = std::make_shared<MixerNode>();
    auto stranger = std::make_shared<MixerNode>();
    m.engine.attach(a);
    m.engine.attach(b);
    ASSERT_TRUE(m.engine.connect(a, b, m.format()));
    EXPECT_FALSE(m.engine.connect(b, a, m.format())) << "loop";
    EXPECT_FALSE(m.engine.connect(a, a, m.format())) << "loop on itself";
    EXPECT_FALSE(m.engine.connect(stranger, a, m.format())) << "not attached";
    EXPECT_FALSE(m.engine.connect(a, b, AudioFormat::standard(48000.0, 1))) << "not stereo";
    EXPECT_FALSE(m.engine.connect(m.engine.outputNode(), a, m.format())) << "the output has no output bus";
    EXPECT_FALSE(m.engine.connect(a, b, MixerNode::kInputBusCount, m.format())) << "no such bus";

    Engine other;
    EXPECT_FALSE(other.attach(a)) << "a node belongs to one engine";
}

TEST(EngineGraph, RendersLongPullsInSlicesOnOneTimeLine) {
    ManualEngine m;
    auto sine = std::make_shared<SineNode>(100.0, 1.0f);
    m.engine.attach(sine);
    m.engine.connect(sine, m.engine.mainMixerNode(), m.format());
    ASSERT_TRUE(m.engine.start());
    const uint32_t frames = Engine::kMaximumFramesToRender * 2 + 100;
    auto out = m.render(frames);
    ASSERT_TRUE(m.rendered);
    for (uint32_t i = 0; i < frames; i += 997)
        ASSERT_NEAR(out.left[i], std::sin(2.0 * std::numbers::pi * 100.0 * i / 48000.0), 1e-5) << i;
    EXPECT_EQ(m.engine.sampleTime(), frames);
    EXPECT_EQ(sine->lastRenderSampleTime(), 2 * Engine::kMaximumFramesToRender);
}

TEST(EngineGraph, OutputCanOnlyBeReplacedWhileStopped) {
    Engine engine;
    ASSERT_TRUE(engine.start());
    EXPECT_FALSE(engine.setOutput(std::make_unique<NullOutput>(44100.0)));
    engine.stop();
    ASSERT_TRUE(engine.setOutput(std::make_unique<NullOutput>(44100.0)));
    EXPECT_EQ(engine.outputFormat().sampleRate, 44100.0);
    EXPECT_EQ(engine.mainMixerNode()->outputFormat(0).sampleRate, 44100.0);
}

TEST(AudioSession, RecordsThePreferredRate) {
    AudioSession session;
    EXPECT_EQ(session.preferredSampleRate(), 48000.0);
    EXPECT_FALSE(session.setPreferredSampleRate(0.0));
    EXPECT_TRUE(session.setPreferredSampleRate(44100.0));
    EXPECT_EQ(session.sampleRate(), 44100.0);
    EXPECT_TRUE(session.setCategory(AudioSession::Category::playback));
    EXPECT_EQ(session.category(), AudioSession::Category::playback);
    EXPECT_TRUE(session.setActive(true));
    EXPECT_TRUE(session.isActive());
}
