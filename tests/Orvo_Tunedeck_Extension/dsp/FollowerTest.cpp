#include "Orvo_Tunedeck_Extension/dsp/Follower.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

namespace {

struct TimingCase {
    float rate;
    float attackSamples;
    float releaseSamples;
    std::int32_t holdSamples;
};

void PrintTo(const TimingCase& c, std::ostream* out) { *out << c.rate << " Hz"; }

class FollowerTimings : public testing::TestWithParam<TimingCase> {};

TEST_P(FollowerTimings, AttackReleaseAndHoldInSamples) {
    const TimingCase& c = GetParam();
    Follower follower;
    follower.setSamplerate(c.rate);
    EXPECT_EQ(follower.attackTime, c.attackSamples);
    EXPECT_EQ(follower.releaseTime, c.releaseSamples);
    EXPECT_EQ(follower.decayTime, c.holdSamples);
    EXPECT_DOUBLE_EQ(follower.increase, 1.0 / c.attackSamples);
    EXPECT_DOUBLE_EQ(follower.decrease, 1.0 / c.releaseSamples);
}

// Attack and release are clamped to 16 samples: attack below 1600 Hz, release below 32 Hz.
INSTANTIATE_TEST_SUITE_P(Rates, FollowerTimings,
                         testing::Values(TimingCase{48000.0f, 480.0f, 24000.0f, 4},
                                         TimingCase{44100.0f, 441.0f, 22050.0f, 4},
                                         TimingCase{96000.0f, 960.0f, 48000.0f, 9},
                                         TimingCase{1000.0f, 16.0f, 500.0f, 0},
                                         TimingCase{20.0f, 16.0f, 16.0f, 0}));

TEST(Follower, NewFollowerIsSetUpFor48kHzWithSilentPeak) {
    const Follower follower;
    EXPECT_EQ(follower.fSamplerate, 48000.0f);
    EXPECT_EQ(follower.attackTime, 480.0f);
    EXPECT_EQ(follower.releaseTime, 24000.0f);
    EXPECT_EQ(follower.decayTime, 4);
    EXPECT_EQ(follower.currentPeak, 0.0);
}

// At 48 kHz the peak climbs 1/480 per sample, holds 4 samples after the input drops, then sinks 1/24000 per sample.
TEST(Follower, ClimbsHoldsAndSinksLinearly) {
    Follower follower;
    int samplesToFullScale = 0;
    while (follower.currentPeak < 1.0 - 1e-9) {
        follower.track(2.0f);
        ++samplesToFullScale;
    }
    EXPECT_EQ(samplesToFullScale, 480);
    for (int i = 0; i < 480; ++i) follower.track(2.0f);
    EXPECT_NEAR(follower.currentPeak, 2.0, 1e-9);

    const double top = follower.currentPeak;
    for (int i = 0; i < 4; ++i) {
        follower.track(0.0f);
        EXPECT_EQ(follower.currentPeak, top) << "hold sample " << i;
    }
    follower.track(0.0f);
    EXPECT_NEAR(follower.currentPeak, top - 1.0 / 24000.0, 1e-12);

    int samplesToSilence = 1;
    while (follower.currentPeak > 0.0) {
        follower.track(0.0f);
        ++samplesToSilence;
    }
    EXPECT_NEAR(samplesToSilence, 48000, 1);
}

TEST(Follower, EqualInputChangesNothingAndPeakNeverGoesNegative) {
    Follower follower;
    follower.currentPeak = 0.25;
    follower.decayTime = 2;
    follower.track(0.25f);
    EXPECT_EQ(follower.currentPeak, 0.25);
    EXPECT_EQ(follower.decayTime, 2);

    follower.currentPeak = 1.0 / 48000.0;
    follower.decayTime = 0;
    follower.track(0.0f);
    EXPECT_EQ(follower.currentPeak, 0.0);
}

TEST(Follower, SampleRateChangeKeepsPeak) {
    Follower follower;
    for (int i = 0; i < 100; ++i) follower.track(1.0f);
    const double peak = follower.currentPeak;
    follower.setSamplerate(44100.0f);
    EXPECT_EQ(follower.currentPeak, peak);
    EXPECT_EQ(follower.attackTime, 441.0f);
}

}  // namespace
