// The render path allocates nothing after warm-up: a counting operator new watches the rendering thread.

#include <gtest/gtest.h>

#include "platform/audioengine/EqualizerNode.h"
#include "platform/audioengine/LimiterNode.h"
#include "platform/audioengine/ReverbNode.h"
#include "platform/audioengine/UnitNode.h"
#include "tests/platform/audioengine/ManualEngine.h"
#include "tests/platform/audiounit/RecordingInstrument.h"
#include "tests/support/AllocationCounter.h"

using namespace audioengine;
using namespace audioengine::testing;

TEST(RenderAllocation, TheHostChainRendersWithoutAllocating) {
    ManualEngine m;
    auto unit = std::make_shared<audiounit_testing::RecordingInstrument>();
    auto instrument = std::make_shared<UnitNode>(unit);
    auto reverb = std::make_shared<ReverbNode>();
    auto eq = std::make_shared<EqualizerNode>(3);
    auto limiter = std::make_shared<LimiterNode>();
    std::vector<std::shared_ptr<Node>> chain{instrument, reverb, eq, limiter, m.engine.mainMixerNode()};
    for (const auto& node : chain) m.engine.attach(node);
    for (size_t i = 0; i + 1 < chain.size(); ++i) ASSERT_TRUE(m.engine.connect(chain[i], chain[i + 1], m.format()));
    ASSERT_TRUE(m.engine.start());
    const auto schedule = unit->scheduleMIDIEventBlock();
    std::vector<float> left(Engine::kMaximumFramesToRender * 2), right(left.size());
    m.engine.renderOffline(512, left.data(), right.data());  // warm-up

    const uint64_t before = testsupport::allocationsOnThisThread();
    const uint8_t note[] = {0x90, 60, 100};
    for (int block = 0; block < 50; ++block) {
        schedule(kAUEventSampleTimeImmediate, 0, 3, note);
        eq->bands()[1]->setGain(static_cast<float>(block % 7));
        eq->bands()[1]->setBypass(block % 3 == 0);
        limiter->setSettings({0.001 * (block % 10), 0.05, 3.0, -1.0});
        reverb->loadFactoryPreset(static_cast<ReverbPreset>(block % 13));
        reverb->setWetDryMix(static_cast<float>(block));
        m.engine.mainMixerNode()->setOutputVolume(0.5f + 0.01f * static_cast<float>(block));
        const uint32_t frames = block == 25 ? static_cast<uint32_t>(left.size()) : 256;  // one sliced pull
        ASSERT_TRUE(m.engine.renderOffline(frames, left.data(), right.data()));
    }
    EXPECT_EQ(testsupport::allocationsOnThisThread() - before, 0U);
    EXPECT_EQ(unit->seenCount(), 50U);
}
