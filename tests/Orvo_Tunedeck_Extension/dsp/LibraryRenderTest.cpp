#include "Orvo_Tunedeck_Extension/dsp/OrvoTunedeckDSPKernelAdapter.h"

#include "tests/Orvo_Tunedeck_Extension/dsp/RenderEventList.h"
#include "tests/Orvo_Tunedeck_Extension/dsp/SoundfontResources.h"
#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace {

constexpr float kAudible = 0.01f;

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
    AudioBufferList list;

    explicit Stereo(AUAudioFrameCount frames, float value = 0.0f)
        : left(frames, value), right(frames, value), list(stereoBufferList(left.data(), right.data(), frames)) {}
};

float peakOf(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    float peak = 0.0f;
    for (std::size_t i = from; i < to; ++i) peak = std::max(peak, std::fabs(samples[i]));
    return peak;
}

// Pitch of a steady tone from its rising zero crossings.
double frequencyOf(const std::vector<float>& samples, std::size_t from, double sampleRate) {
    std::size_t first = 0;
    std::size_t last = 0;
    int crossings = 0;
    for (std::size_t i = from + 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0.0f && samples[i] >= 0.0f) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * sampleRate / static_cast<double>(last - first);
}

class SynthesizerPath : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(resources.written()); }

    foundation::OSStatus render(Stereo& audio, AUAudioFrameCount frames, RenderEventList& events) {
        AudioTimeStamp timestamp;
        timestamp.mSampleTime = static_cast<double>(position);
        position += frames;
        return adapter->render(nullptr, &timestamp, frames, 0, &audio.list, events.head(), nullptr);
    }

    SoundfontResources resources;
    std::unique_ptr<OrvoTunedeckDSPKernelAdapter> adapter = std::make_unique<OrvoTunedeckDSPKernelAdapter>();
    AUEventSampleTime position = 0;
};

TEST_F(SynthesizerPath, NoteSoundsFromItsFrameOn) {
    RenderEventList events;
    events.noteOn(300, 69);
    Stereo audio(1024, 0.5f);
    ASSERT_EQ(render(audio, 1024, events), foundation::noErr);
    EXPECT_EQ(peakOf(audio.left, 0, 300), 0.0f) << "the library overwrites the buffer and is silent before the note";
    EXPECT_GT(peakOf(audio.left, 300, 1024), kAudible);
    EXPECT_GT(peakOf(audio.right, 300, 1024), kAudible);
}

struct ProgramCase {
    const char* label;
    std::function<void(RenderEventList&)> before;
    double frequency;
};

void PrintTo(const ProgramCase& c, std::ostream* out) { *out << c.label; }

class ProgramChange : public SynthesizerPath, public testing::WithParamInterface<ProgramCase> {};

// A program change is two bytes long; it must reach the library like any other message.
TEST_P(ProgramChange, ChoosesTheProgramThatPlays) {
    RenderEventList events;
    GetParam().before(events);
    events.noteOn(0, 69);
    Stereo audio(4096);
    ASSERT_EQ(render(audio, 4096, events), foundation::noErr);
    EXPECT_NEAR(frequencyOf(audio.left, 1024, 48000.0), GetParam().frequency, 5.0);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ProgramChange,
    testing::Values(ProgramCase{"start_program", [](RenderEventList&) {}, 480.0},
                    ProgramCase{"two_byte_program_change", [](RenderEventList& l) { l.midi(0, {0xC0, 1}); }, 960.0},
                    ProgramCase{"back_to_program_0",
                                [](RenderEventList& l) { l.midi(0, {0xC0, 1}).midi(0, {0xC0, 0}); },
                                480.0}),
    [](const testing::TestParamInfo<ProgramCase>& info) { return info.param.label; });

// The library renders at most 2048 frames per call; the kernel must still fill all 4096.
TEST_F(SynthesizerPath, LongBufferIsRenderedWhole) {
    RenderEventList events;
    events.noteOn(0, 69);
    Stereo audio(4096);
    ASSERT_EQ(render(audio, 4096, events), foundation::noErr);
    EXPECT_GT(peakOf(audio.left, 0, 2048), kAudible);
    EXPECT_GT(peakOf(audio.left, 2048, 4096), kAudible);
    EXPECT_GT(peakOf(audio.right, 3584, 4096), kAudible);
}

// The buffer is exactly as long as the call: a slice past its end would be caught by the address sanitizer.
TEST_F(SynthesizerPath, EventPastTheBufferIsTakenAfterIt) {
    RenderEventList late;
    late.noteOn(600, 69);
    Stereo first(512);
    ASSERT_EQ(render(first, 512, late), foundation::noErr);
    EXPECT_EQ(peakOf(first.left, 0, 512), 0.0f);

    RenderEventList none;
    Stereo second(512);
    ASSERT_EQ(render(second, 512, none), foundation::noErr);
    EXPECT_GT(peakOf(second.left, 0, 512), kAudible);
}

TEST_F(SynthesizerPath, ParameterEventsReachTheStore) {
    RenderEventList events;
    events.parameter(100, AURenderEventParameter, 1001, 0.25f).parameter(200, AURenderEventParameterRamp, 1175, 0.5f);
    Stereo audio(512);
    ASSERT_EQ(render(audio, 512, events), foundation::noErr);
    EXPECT_EQ(adapter->getParameterEx(1001), 0.25f);
    EXPECT_EQ(adapter->getParameterEx(1175), 0.5f);
}

TEST_F(SynthesizerPath, TooManyFramesAndBypassLeaveTheBuffer) {
    RenderEventList events;
    events.noteOn(0, 69);
    Stereo tooMany(4097, 0.5f);
    EXPECT_EQ(render(tooMany, 4097, events), foundation::kAudioUnitErr_TooManyFramesToProcess);
    EXPECT_EQ(peakOf(tooMany.left, 0, 4097), 0.5f);
    EXPECT_EQ(*std::min_element(tooMany.left.begin(), tooMany.left.end()), 0.5f);

    adapter->setBypass(true);
    Stereo bypassed(1024, 0.5f);
    EXPECT_EQ(render(bypassed, 1024, events), foundation::noErr);
    EXPECT_EQ(*std::min_element(bypassed.left.begin(), bypassed.left.end()), 0.5f);
}

TEST_F(SynthesizerPath, RenderingDoesNotAllocateAfterWarmUp) {
    RenderEventList warmUp;
    warmUp.noteOn(0, 69).midi(100, {0x80, 69, 0});
    Stereo audio(4096);
    render(audio, 4096, warmUp);

    RenderEventList events;
    events.midi(0, {0xC0, 1}).noteOn(10, 72).parameter(20, AURenderEventParameter, 1001, 0.5f).noteOn(3000, 76);
    const auto before = testsupport::allocationsOnThisThread();
    render(audio, 4096, events);
    EXPECT_EQ(testsupport::allocationsOnThisThread(), before);
}

TEST(SynthesizerPathWithoutLibrary, LeavesTheBuffer) {
    testsupport::ScopedEnvironment environment;
    environment.set("TUNEDECK_RESOURCES", "/nonexistent/tunedeck/resources");
    OrvoTunedeckDSPKernelAdapter adapter;
    RenderEventList events;
    events.noteOn(0, 69);
    Stereo audio(512, 0.5f);
    EXPECT_EQ(adapter.render(nullptr, nullptr, 512, 0, &audio.list, events.head(), nullptr), foundation::noErr);
    EXPECT_EQ(*std::min_element(audio.left.begin(), audio.left.end()), 0.5f);
    EXPECT_EQ(peakOf(audio.left, 0, 512), 0.5f);
}

}  // namespace
