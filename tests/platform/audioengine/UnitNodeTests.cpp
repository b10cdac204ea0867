#include <gtest/gtest.h>

#include "platform/audioengine/EffectNodes.h"
#include "platform/audioengine/EqualizerNode.h"
#include "platform/audioengine/LimiterNode.h"
#include "platform/audioengine/ReverbNode.h"
#include "platform/audioengine/UnitNode.h"
#include "tests/platform/audioengine/ManualEngine.h"
#include "tests/platform/audioengine/TestSignals.h"
#include "tests/platform/audiounit/RecordingInstrument.h"

using namespace audioengine;
using namespace audioengine::testing;
using namespace audiounit_testing;

namespace {

// An effect unit that halves its input, pulled through the pull-input block.
class HalvingEffect final : public AUAudioUnit {
public:
    HalvingEffect() : AUAudioUnit({fourCC("aufx"), fourCC("half"), fourCC("Test"), 0, 0}) {}
    AUInternalRenderBlock internalRenderBlock() override {
        return [](AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timestamp, AUAudioFrameCount frames,
                  int64_t, AudioBufferList* out, const AURenderEvent*, const AURenderPullInputBlock& pullInput) {
            if (!pullInput) return foundation::kAudio_ParamError;
            const foundation::OSStatus status = pullInput(flags, timestamp, frames, 0, out);
            if (status != foundation::noErr) return status;
            for (uint32_t b = 0; b < out->mNumberBuffers; ++b)
                for (uint32_t i = 0; i < frames; ++i) static_cast<float*>(out->mBuffers[b].mData)[i] *= 0.5f;
            return foundation::noErr;
        };
    }
};

}  // namespace

TEST(UnitNode, AllocatesItsUnitAtTheEnginesFormatAndRendersItWithScheduledMIDI) {
    ManualEngine m;
    auto unit = std::make_shared<RecordingInstrument>();
    auto node = std::make_shared<UnitNode>(unit);
    EXPECT_EQ(node->numberOfInputs(), 0U);
    m.engine.attach(node);
    ASSERT_TRUE(m.engine.connect(node, m.engine.mainMixerNode(), m.format()));
    std::string error;
    ASSERT_TRUE(m.engine.start(&error)) << error;
    EXPECT_TRUE(unit->renderResourcesAllocated());
    EXPECT_GE(unit->maximumFramesToRender(), Engine::kMaximumFramesToRender);

    const uint8_t note[] = {0x90, 69, 100};
    unit->scheduleMIDIEventBlock()(kAUEventSampleTimeImmediate, 0, 3, note);
    m.render(256);
    const auto out = m.render(256);
    EXPECT_EQ(out.left[255], 0.25f);
    ASSERT_EQ(unit->seenCount(), 1U);
    EXPECT_EQ(unit->seen(0).render, 0);
    EXPECT_EQ(unit->seen(0).bytes[1], 69);

    m.engine.detach(node);
    EXPECT_FALSE(unit->renderResourcesAllocated()) << "the node frees what it allocated";
}

TEST(UnitNode, FeedsAnEffectUnitFromItsInput) {
    ManualEngine m;
    auto sine = std::make_shared<SineNode>(1000.0, 0.8f);
    auto effect = std::make_shared<UnitNode>(std::make_shared<HalvingEffect>());
    EXPECT_EQ(effect->numberOfInputs(), 1U);
    m.engine.attach(sine);
    m.engine.attach(effect);
    ASSERT_TRUE(m.engine.connect(sine, effect, m.format()));
    ASSERT_TRUE(m.engine.connect(effect, m.engine.mainMixerNode(), m.format()));
    ASSERT_TRUE(m.engine.start());
    EXPECT_NEAR(peak(m.render(4800).left), 0.4f, 1e-3);
}

TEST(UnitNode, ComesFromTheRegistryByDescription) {
    AudioComponentRegistry registry;
    registry.registerComponent(kRecordingInstrument, "Test Maker: Recorder", 1,
                               [](const AudioComponentDescription& d) { return std::make_shared<RecordingInstrument>(d); });
    std::string error;
    const auto node = UnitNode::instantiate({fourCC("aumu"), 0, 0, 0, 0}, error, registry);
    ASSERT_TRUE(node) << error;
    EXPECT_EQ(node->name(), "Recorder");
    EXPECT_FALSE(UnitNode::instantiate({fourCC("aufx"), 0, 0, 0, 0}, error, registry));
    EXPECT_EQ(error, "no audio unit matches the description");
}

TEST(UnitNode, AUnitThatRefusesToAllocateFailsTheStartAndAnAllocatedOneIsUsedAsItIs) {
    class Refusing final : public RecordingInstrument {
    public:
        void allocateRenderResources() override {
            throw AudioUnitStatusError(foundation::kAudioUnitErr_FormatNotSupported, "no");
        }
    };
    {
        ManualEngine m;
        auto node = std::make_shared<UnitNode>(std::make_shared<Refusing>());
        m.engine.attach(node);
        m.engine.connect(node, m.engine.mainMixerNode(), m.format());
        std::string error;
        EXPECT_FALSE(m.engine.start(&error));
        EXPECT_NE(error.find("no (-10868)"), std::string::npos) << error;
        EXPECT_FALSE(m.engine.isRunning());
    }
    ManualEngine m;
    auto allocated = std::make_shared<RecordingInstrument>();
    allocated->allocateRenderResources();
    auto node = std::make_shared<UnitNode>(allocated);
    m.engine.attach(node);
    m.engine.connect(node, m.engine.mainMixerNode(), m.format());
    ASSERT_TRUE(m.engine.start());
    EXPECT_EQ(m.render(64).left[63], 0.25f);
    m.engine.detach(node);
    EXPECT_TRUE(allocated->renderResourcesAllocated()) << "what the node did not allocate it leaves allocated";

    auto elsewhere = std::make_shared<RecordingInstrument>();
    elsewhere->outputBusses()[0]->setFormat(AudioFormat::standard(44100.0, 2));
    elsewhere->allocateRenderResources();
    auto mismatched = std::make_shared<UnitNode>(elsewhere);
    m.engine.stop();
    m.engine.attach(mismatched);
    m.engine.connect(mismatched, m.engine.mainMixerNode(), m.format());
    std::string error;
    EXPECT_FALSE(m.engine.start(&error));
    EXPECT_EQ(error, "audio unit: the unit is allocated at 44100 Hz, the engine runs at 48000 Hz");
}

TEST(EffectNodes, TheEnginesOwnEffectsComeByTheirDescriptionsAndOthersFromTheRegistry) {
    AudioComponentRegistry registry;
    std::string error;
    EXPECT_TRUE(std::dynamic_pointer_cast<LimiterNode>(makeEffectNode(kPeakLimiterDescription, error, registry)));
    EXPECT_TRUE(std::dynamic_pointer_cast<ReverbNode>(makeEffectNode(kReverbDescription, error, registry)));
    const auto eq = std::dynamic_pointer_cast<EqualizerNode>(makeEffectNode(kEqualizerDescription, error, registry));
    ASSERT_TRUE(eq);
    EXPECT_EQ(eq->bands().size(), 3U);
    EXPECT_FALSE(makeEffectNode({fourCC("aufx"), fourCC("none"), 0, 0, 0}, error, registry));
    EXPECT_EQ(error, "no audio unit matches the description");
}
