// The render path allocates nothing: notes, controllers, program changes and parameter changes included, counted by
// the shared counting allocator (the library's nothrow forms too).

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/platform/synth/SynthHarness.h"
#include "tests/platform/synth/SynthTestBanks.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/TestFolder.h"

namespace synth_test {
namespace {

class RenderAllocation : public ::testing::TestWithParam<double> {};

// 22050 Hz renders at twice the rate and halves it, 192000 Hz at half the rate and doubles it (spans of one frame
// between the first events included).
TEST_P(RenderAllocation, RenderingWithEventsAllocatesNothing) {
    testsupport::TestFolder folder;
    const std::filesystem::path bank = folder.path() / "sine.sf2";
    ASSERT_TRUE(writeSineSoundFont(bank));
    SynthHarness harness(GetParam());
    const std::uint64_t beforeLoading = testsupport::allocationsOnThisThread();
    ASSERT_EQ(harness.loadBank(bank), foundation::noErr);
    ASSERT_GT(testsupport::allocationsOnThisThread(), beforeLoading) << "the counter sees the library's allocations";
    harness.unit().parameterTree()->parameterWithAddress(kMIDISynthParameter_GainDecibels)->setValue(-6.0f);
    harness.unit().parameterTree()->parameterWithAddress(kMIDISynthParameter_CoarseTuneSemitones)->setValue(2.0f);

    EventList events;
    events.midi(0, 0xB0, 0, 0).midi(1, 0xB0, 32, 0).midi(2, 0xC0, 1).midi(10, 0x90, 60, 100);
    events.midi(20, 0x99, 36, 100).midi(30, 0xB0, 7, 90).midi(40, 0xE0, 0, 70).midi(50, 0xB0, 121, 0);
    events.midi(300, 0x80, 60, 0).midi(400, 0x90, 72, 90);
    const AURenderEvent* head = events.head();
    std::vector<float> left(512), right(512);
    AudioBufferList buffers = stereoBufferList(left.data(), right.data(), 512);
    AudioTimeStamp timestamp;
    AudioUnitRenderActionFlags flags = 0;
    const AURenderBlock block = harness.unit().renderBlock();

    const std::uint64_t before = testsupport::allocationsOnThisThread();
    for (int i = 0; i < 8; ++i) {
        timestamp.mSampleTime = 512.0 * i;
        ASSERT_EQ(block(&flags, &timestamp, 512, 0, &buffers, i % 2 == 0 ? head : nullptr, nullptr),
                  foundation::noErr);
    }
    EXPECT_EQ(testsupport::allocationsOnThisThread() - before, 0u);
}

INSTANTIATE_TEST_SUITE_P(OutputRates, RenderAllocation, ::testing::Values(48000.0, 22050.0, 192000.0));

}  // namespace
}  // namespace synth_test
