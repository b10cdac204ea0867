#include "Orvo_Tunedeck_Extension/dsp/OrvoTunedeckDSPKernelAdapter.h"

#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;
    AudioBufferList list;

    StereoBuffer(AUAudioFrameCount frames, float value)
        : left(frames, value), right(frames, value),
          list(stereoBufferList(left.data(), right.data(), frames)) {}
};

foundation::OSStatus render2(OrvoTunedeckDSPKernelAdapter& adapter, StereoBuffer& buffer, AUAudioFrameCount frames,
                             std::int64_t bus = 0) {
    AudioUnitRenderActionFlags flags = 0;
    const AudioTimeStamp timestamp;
    return adapter.render2(&flags, &timestamp, frames, bus, &buffer.list, nullptr, nullptr);
}

bool all(const std::vector<float>& samples, float value) {
    return std::all_of(samples.begin(), samples.end(), [value](float x) { return x == value; });
}

// Frames of a step to 2.0 that pass at 2.0 before a fresh limiter starts to pull them down.
AUAudioFrameCount unlimitedFramesOfStep(OrvoTunedeckDSPKernelAdapter& adapter) {
    StereoBuffer step(2048, 2.0f);
    EXPECT_EQ(render2(adapter, step, 2048), foundation::noErr);
    return static_cast<AUAudioFrameCount>(
        std::find_if(step.left.begin(), step.left.end(), [](float x) { return x < 2.0f; }) - step.left.begin());
}

TEST(KernelAdapter, StartsStereoAt48kHzWith4096Frames) {
    OrvoTunedeckDSPKernelAdapter adapter;
    EXPECT_EQ(adapter.outputBus1()->format(), AudioFormat::standard(48000.0, 2));
    EXPECT_EQ(adapter.outputBus1()->maximumChannelCount(), 2u);
    ASSERT_NE(adapter.inputBus1(), nullptr);
    EXPECT_EQ(adapter.inputBus1()->format(), AudioFormat::standard(48000.0, 2));
    EXPECT_EQ(adapter.maximumFramesToRender(), 4096u);
    EXPECT_EQ(adapter.getSamplerate(), 48000.0f);
    EXPECT_FALSE(adapter.shouldBypassEffect());
}

TEST(KernelAdapter, ParameterStoreHoldsAddresses1001To1175) {
    OrvoTunedeckDSPKernelAdapter adapter;
    adapter.setParameterEx(1175, 0.5f);
    EXPECT_EQ(adapter.getParameterEx(1175), 0.5f);
    adapter.setParameterEx(1001, 0.25f);
    EXPECT_EQ(adapter.getParameterEx(1001), 0.25f);
    for (const std::int32_t outside : {1000, 1176, -1, 0, 5000}) {
        adapter.setParameterEx(outside, 9.0f);
        EXPECT_EQ(adapter.getParameterEx(outside), 0.0f) << outside;
    }
    EXPECT_EQ(adapter.getParameterEx(1175), 0.5f);

    const auto parameter = AUParameterTree::createParameter("p", "P", 1100, 0, 1, kAudioUnitParameterUnit_Generic,
                                                            std::nullopt, 0);
    adapter.setParameter(*parameter, 0.75f);
    EXPECT_EQ(adapter.valueForParameter(*parameter), 0.75f);
    EXPECT_EQ(adapter.getParameterEx(1100), 0.75f);
}

TEST(KernelAdapter, LimitsUpToMaximumFramesAndRefusesMore) {
    OrvoTunedeckDSPKernelAdapter adapter;
    StereoBuffer full(4096, 2.0f);
    EXPECT_EQ(render2(adapter, full, 4096), foundation::noErr);
    EXPECT_NEAR(full.left.back(), 1.0f, 0.01f);
    EXPECT_NEAR(full.right.back(), 1.0f, 0.01f);

    StereoBuffer tooMany(4097, 2.0f);
    EXPECT_EQ(render2(adapter, tooMany, 4097), foundation::kAudioUnitErr_TooManyFramesToProcess);
    EXPECT_TRUE(all(tooMany.left, 2.0f));
    EXPECT_TRUE(all(tooMany.right, 2.0f));
}

TEST(KernelAdapter, UnusableOutputsPassUnlimited) {
    OrvoTunedeckDSPKernelAdapter adapter;

    StereoBuffer otherBus(512, 3.0f);
    EXPECT_EQ(render2(adapter, otherBus, 512, 1), foundation::noErr);
    EXPECT_TRUE(all(otherBus.left, 3.0f));

    StereoBuffer oneBuffer(512, 3.0f);
    oneBuffer.list.mNumberBuffers = 1;
    EXPECT_EQ(render2(adapter, oneBuffer, 512), foundation::noErr);
    EXPECT_TRUE(all(oneBuffer.left, 3.0f));

    StereoBuffer shortBuffer(512, 3.0f);
    shortBuffer.list.mBuffers[1].mDataByteSize = 100 * sizeof(float);
    EXPECT_EQ(render2(adapter, shortBuffer, 512), foundation::noErr);
    EXPECT_TRUE(all(shortBuffer.left, 3.0f));

    EXPECT_EQ(adapter.render2(nullptr, nullptr, 512, 0, nullptr, nullptr, nullptr), foundation::noErr);
}

TEST(KernelAdapter, MonoFormatLeavesAudioUnlimited) {
    OrvoTunedeckDSPKernelAdapter adapter;
    ASSERT_TRUE(adapter.outputBus1()->setFormat(AudioFormat::standard(48000.0, 1)));
    adapter.allocateRenderResources();
    StereoBuffer audio(2048, 3.0f);
    EXPECT_EQ(render2(adapter, audio, 2048), foundation::noErr);
    EXPECT_TRUE(all(audio.left, 3.0f));
}

TEST(KernelAdapter, BypassLeavesAudioUnlimited) {
    OrvoTunedeckDSPKernelAdapter adapter;
    adapter.setBypass(true);
    EXPECT_TRUE(adapter.shouldBypassEffect());
    StereoBuffer audio(2048, 3.0f);
    render2(adapter, audio, 2048);
    EXPECT_TRUE(all(audio.left, 3.0f));

    adapter.setShouldBypassEffect(false);
    EXPECT_FALSE(adapter.shouldBypassEffect());
    render2(adapter, audio, 2048);
    EXPECT_LT(audio.left.back(), 3.0f);
}

// A fresh limiter lets a step to 2.0 through for 480 frames at 48 kHz; one that has already seen it does not.
TEST(KernelAdapter, ResetBypassSwitchAndAllocationStartTheLimiterAfresh) {
    OrvoTunedeckDSPKernelAdapter adapter;
    EXPECT_EQ(unlimitedFramesOfStep(adapter), 480u);
    EXPECT_EQ(unlimitedFramesOfStep(adapter), 0u);

    adapter.reset();
    EXPECT_EQ(unlimitedFramesOfStep(adapter), 480u);

    adapter.setShouldBypassEffect(false);
    EXPECT_EQ(unlimitedFramesOfStep(adapter), 480u);

    adapter.setBypass(false);
    EXPECT_EQ(unlimitedFramesOfStep(adapter), 0u);

    adapter.allocateRenderResources();
    EXPECT_EQ(unlimitedFramesOfStep(adapter), 480u);
}

TEST(KernelAdapter, SampleRateSetsLimiterTimingsAndKeepsItsState) {
    OrvoTunedeckDSPKernelAdapter adapter;
    ASSERT_TRUE(adapter.outputBus1()->setFormat(AudioFormat::standard(44100.0, 2)));
    adapter.allocateRenderResources();
    EXPECT_EQ(adapter.getSamplerate(), 44100.0f);
    EXPECT_EQ(unlimitedFramesOfStep(adapter), 441u);

    adapter.setSamplerate(96000.0f);
    EXPECT_EQ(adapter.getSamplerate(), 96000.0f);
    EXPECT_EQ(unlimitedFramesOfStep(adapter), 0u);
    adapter.reset();
    EXPECT_EQ(unlimitedFramesOfStep(adapter), 960u);
}

TEST(KernelAdapter, AllocationSizesTheInputBusToMaximumFrames) {
    OrvoTunedeckDSPKernelAdapter adapter;
    adapter.setMaximumFramesToRender(1024);
    adapter.allocateRenderResources();
    StereoBuffer audio(1025, 0.0f);
    EXPECT_EQ(render2(adapter, audio, 1025), foundation::kAudioUnitErr_TooManyFramesToProcess);
    adapter.deallocateRenderResources();
}

TEST(KernelAdapter, MidiOutputBlockIsKept) {
    OrvoTunedeckDSPKernelAdapter adapter;
    EXPECT_FALSE(adapter.getAUMIDIOutputEventBlock());
    int calls = 0;
    adapter.setAUMIDIOutputEventBlock([&calls](AUEventSampleTime, std::uint8_t, std::int64_t, const std::uint8_t*) {
        ++calls;
        return foundation::noErr;
    });
    ASSERT_TRUE(adapter.getAUMIDIOutputEventBlock());
    adapter.getAUMIDIOutputEventBlock()(0, 0, 0, nullptr);
    EXPECT_EQ(calls, 1);
}

TEST(KernelAdapter, HostBlocksAreKeptAndTheKernelCallbackReachesTheKernel) {
    OrvoTunedeckDSPKernelAdapter adapter;
    EXPECT_FALSE(adapter.getAUHostMusicalContextBlock());
    EXPECT_FALSE(adapter.getAUScheduleMIDIEventBlock());
    EXPECT_FALSE(adapter.getAUHostTransportStateBlock());
    EXPECT_FALSE(adapter.kernel().kernelCallback);
    EXPECT_FALSE(adapter.kernel().midiThru);
    EXPECT_EQ(adapter.kernel().player, nullptr);

    std::vector<std::string> calls;
    adapter.setAUHostMusicalContextBlock([&](double* tempo, double*, std::int64_t*, double*, std::int64_t*, double*) {
        *tempo = 96.0;
        calls.push_back("context");
        return true;
    });
    adapter.setAUScheduleMIDIEventBlock([&](AUEventSampleTime, std::uint8_t, std::int64_t, const std::uint8_t*) {
        calls.push_back("schedule");
    });
    adapter.setAUHostTransportStateBlock([&](AUHostTransportStateFlags* flags, double*, double*, double*) {
        *flags = AUHostTransportStateMoving;
        calls.push_back("transport");
        return true;
    });
    adapter.setKernelCallbackBlock([&] { calls.push_back("kernel"); });

    double tempo = 0.0;
    EXPECT_TRUE(adapter.getAUHostMusicalContextBlock()(&tempo, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(tempo, 96.0);
    adapter.getAUScheduleMIDIEventBlock()(0, 0, 0, nullptr);
    AUHostTransportStateFlags flags = 0;
    EXPECT_TRUE(adapter.getAUHostTransportStateBlock()(&flags, nullptr, nullptr, nullptr));
    EXPECT_EQ(flags, AUHostTransportStateMoving);
    adapter.getKernelCallbackBlock()();
    ASSERT_TRUE(adapter.kernel().kernelCallback);
    adapter.kernel().kernelCallback();
    EXPECT_EQ(calls, (std::vector<std::string>{"context", "schedule", "transport", "kernel", "kernel"}));
}

TEST(KernelAdapter, InternalRenderBlockAnswersNoErrAndLeavesTheBuffers) {
    OrvoTunedeckDSPKernelAdapter adapter;
    const AUInternalRenderBlock block = adapter.internalRenderBlock();
    ASSERT_TRUE(block);
    StereoBuffer audio(64, 0.25f);
    AudioUnitRenderActionFlags flags = 0;
    const AudioTimeStamp timestamp;
    EXPECT_EQ(block(&flags, &timestamp, 64, 0, &audio.list, nullptr, AURenderPullInputBlock{}), foundation::noErr);
    EXPECT_EQ(block(&flags, &timestamp, 99999, 0, &audio.list, nullptr, AURenderPullInputBlock{}), foundation::noErr);
    EXPECT_TRUE(all(audio.left, 0.25f));
    EXPECT_TRUE(all(audio.right, 0.25f));
}

TEST(KernelAdapter, LivePathDoesNotAllocate) {
    OrvoTunedeckDSPKernelAdapter adapter;
    adapter.allocateRenderResources();
    StereoBuffer audio(4096, 2.0f);
    adapter.reset();
    const auto before = testsupport::allocationsOnThisThread();
    render2(adapter, audio, 4096);
    EXPECT_EQ(testsupport::allocationsOnThisThread(), before);
}

}  // namespace
