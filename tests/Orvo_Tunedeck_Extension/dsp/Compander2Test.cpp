#include "Orvo_Tunedeck_Extension/dsp/Compander2.h"

#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <ostream>
#include <vector>

namespace {

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;

    explicit Stereo(std::size_t frames, float l = 0.0f, float r = 0.0f) : left(frames, l), right(frames, r) {}
    void processWith(Compander2& limiter) {
        limiter.process(left.data(), right.data(), static_cast<std::int64_t>(left.size()));
    }
};

std::vector<float> sine(double frequency, double amplitude, double rate, std::size_t frames) {
    std::vector<float> wave(frames);
    for (std::size_t i = 0; i < frames; ++i)
        wave[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * frequency * i / rate));
    return wave;
}

float peakOf(const std::vector<float>& signal, std::size_t from = 0) {
    float peak = 0.0f;
    for (std::size_t i = from; i < signal.size(); ++i) peak = std::max(peak, std::fabs(signal[i]));
    return peak;
}

TEST(Compander2, NewLimiterRunsSeparateChannelsAtUnityFrom48kHz) {
    const Compander2 limiter;
    EXPECT_EQ(limiter.fSamplerate, 48000.0f);
    EXPECT_EQ(limiter.lMode, 0);
    EXPECT_EQ(limiter.fMultiplier, 0.0f);
    EXPECT_EQ(limiter.fMix, 1.0f);
    EXPECT_EQ(limiter.fGain, 1.0f);
    EXPECT_EQ(limiter.vThreshold, 1.0f);
    EXPECT_EQ(limiter.vThresholdInv, 1.0f);
    EXPECT_FALSE(limiter.bInverted);
    for (const Follower* follower : {&limiter.inputFollower[0], &limiter.inputFollower[1],
                                     &limiter.outputFollower[0], &limiter.outputFollower[1]}) {
        EXPECT_EQ(follower->attackTime, 480.0f);
        EXPECT_EQ(follower->decayTime, 4);
        EXPECT_EQ(follower->releaseTime, 24000.0f);
        EXPECT_EQ(follower->currentPeak, 0.0);
    }
}

TEST(Compander2, SignalBelowFullScalePassesUnchanged) {
    Compander2 limiter;
    Stereo audio(4800, 0.5f, -0.5f);
    audio.processWith(limiter);
    EXPECT_EQ(peakOf(audio.left), 0.5f);
    EXPECT_TRUE(std::all_of(audio.left.begin(), audio.left.end(), [](float x) { return x == 0.5f; }));
    EXPECT_TRUE(std::all_of(audio.right.begin(), audio.right.end(), [](float x) { return x == -0.5f; }));
}

// Within one step of the peak (1/480) of full scale once the attack has passed.
constexpr float kSettledTolerance = 2.0f / 480.0f;

// The peak passes 1.0 after 480 samples and reaches 2.0 after 960, so the output is 2.0 for the first 480 samples
// and then 2 / peak = 960 / (i + 1) down to 1.0, where it stays within one peak step.
TEST(Compander2, StepAboveFullScaleComesDownOverTheAttack) {
    Compander2 limiter;
    Stereo audio(4000, 2.0f, 0.0f);
    audio.processWith(limiter);

    double worstAttackError = 0.0;
    for (std::size_t i = 0; i < 960; ++i) {
        const double expected = 2.0 / std::max((i + 1) / 480.0, 1.0);
        worstAttackError = std::max(worstAttackError, std::fabs(audio.left[i] - expected));
    }
    EXPECT_LT(worstAttackError, 1e-5);
    EXPECT_EQ(audio.left[479], 2.0f);
    EXPECT_NEAR(audio.left[480], 1.99584, 1e-5);
    EXPECT_NEAR(audio.left[600], 1.5973, 1e-4);
    EXPECT_NEAR(audio.left[959], 1.0, 1e-5);

    const auto [low, high] = std::minmax_element(audio.left.begin() + 960, audio.left.end());
    EXPECT_GT(*low, 1.0f - kSettledTolerance);
    EXPECT_LT(*high, 1.0f + kSettledTolerance);
    EXPECT_EQ(peakOf(audio.right), 0.0f);
}

TEST(Compander2, FullScaleSineStaysAtOrBelowFullScale) {
    for (const double frequency : {50.0, 440.0, 997.0, 12000.0}) {
        Compander2 limiter;
        Stereo audio(0);
        audio.left = sine(frequency, 1.0, 48000.0, 96000);
        audio.right = sine(frequency * 1.5, 1.0, 48000.0, 96000);
        audio.processWith(limiter);
        EXPECT_LE(peakOf(audio.left), 1.0f) << frequency << " Hz";
        EXPECT_LE(peakOf(audio.right), 1.0f) << frequency * 1.5 << " Hz";
    }
}

// Twelve decibels over full scale: once the attack has passed, the limiter holds the output at full scale.
TEST(Compander2, LoudSineSettlesAtFullScale) {
    Compander2 limiter;
    Stereo audio(0);
    audio.left = sine(440.0, 4.0, 48000.0, 96000);
    audio.right = audio.left;
    audio.processWith(limiter);
    const float settled = peakOf(audio.left, 4800);
    EXPECT_LT(settled, 1.01f);
    EXPECT_GT(settled, 0.95f);
}

TEST(Compander2, ZeroFramesLeaveBuffersAndStateAlone) {
    Compander2 limiter;
    Stereo warmUp(100, 3.0f, 3.0f);
    warmUp.processWith(limiter);
    const double peak = limiter.inputFollower[0].currentPeak;
    const float factor = limiter.factor[0];

    Stereo audio(8, 5.0f, -5.0f);
    limiter.process(audio.left.data(), audio.right.data(), 0);
    limiter.process(audio.left.data(), audio.right.data(), -1);
    EXPECT_EQ(peakOf(audio.left), 5.0f);
    EXPECT_EQ(audio.right[0], -5.0f);
    EXPECT_EQ(limiter.inputFollower[0].currentPeak, peak);
    EXPECT_EQ(limiter.factor[0], factor);
}

TEST(Compander2, ResetClearsPeaksAndFactorsWhileRateChangeKeepsThem) {
    Compander2 limiter;
    Stereo audio(1000, 2.0f, 2.0f);
    audio.processWith(limiter);
    ASSERT_GT(limiter.inputFollower[0].currentPeak, 1.0);
    ASSERT_LT(limiter.factor[1], 1.0f);

    const double peak = limiter.outputFollower[1].currentPeak;
    limiter.setSamplerate(44100.0f);
    EXPECT_EQ(limiter.fSamplerate, 44100.0f);
    EXPECT_EQ(limiter.outputFollower[1].currentPeak, peak);
    EXPECT_EQ(limiter.outputFollower[1].attackTime, 441.0f);

    limiter.resetState();
    for (const Follower* follower : {&limiter.inputFollower[0], &limiter.inputFollower[1],
                                     &limiter.outputFollower[0], &limiter.outputFollower[1]})
        EXPECT_EQ(follower->currentPeak, 0.0);
    EXPECT_EQ(limiter.factor[0], 1.0f);
    EXPECT_EQ(limiter.factor[1], 1.0f);
    EXPECT_EQ(limiter.inputFollower[0].attackTime, 441.0f);
}

struct ModeCase {
    const char* label;
    std::int32_t mode;
    float left;
    float right;
    float settledLeft;
    float settledRight;
};

void PrintTo(const ModeCase& c, std::ostream* out) { *out << c.label; }

class Compander2Modes : public testing::TestWithParam<ModeCase> {};

TEST_P(Compander2Modes, SettledGainsFollowTheDetection) {
    const ModeCase& c = GetParam();
    Compander2 limiter;
    limiter.lMode = c.mode;
    Stereo audio(4000, c.left, c.right);
    audio.processWith(limiter);
    EXPECT_NEAR(audio.left.back(), c.settledLeft, kSettledTolerance * std::fabs(c.settledLeft));
    EXPECT_NEAR(audio.right.back(), c.settledRight, kSettledTolerance * std::fabs(c.settledRight));
}

INSTANTIATE_TEST_SUITE_P(
    Detection, Compander2Modes,
    testing::Values(ModeCase{"separate_loud_left", 0, 2.0f, 0.5f, 1.0f, 0.5f},
                    ModeCase{"unknown_mode_is_separate", 7, 2.0f, 0.5f, 1.0f, 0.5f},
                    ModeCase{"left_linked", 3, 2.0f, 0.5f, 1.0f, 0.25f},
                    ModeCase{"left_linked_loud_right_only", 3, 0.5f, 2.0f, 0.5f, 2.0f},
                    ModeCase{"mid_side_loud_mid", 1, 2.0f, 2.0f, 1.0f, 1.0f},
                    ModeCase{"mid_side_loud_side_only", 1, 2.0f, -2.0f, 2.0f, -2.0f}),
    [](const testing::TestParamInfo<ModeCase>& info) { return info.param.label; });

TEST(Compander2, MixGainAndInversionShapeTheOutput) {
    Compander2 dry;
    dry.fMix = 0.0f;
    Stereo unmixed(2000, 2.0f, 2.0f);
    unmixed.processWith(dry);
    EXPECT_EQ(unmixed.left.back(), 2.0f);

    Compander2 inverted;
    inverted.bInverted = true;
    Stereo difference(2000, 2.0f, 0.5f);
    difference.processWith(inverted);
    EXPECT_NEAR(difference.left.back(), 1.0f, kSettledTolerance);
    EXPECT_EQ(difference.right.back(), 0.0f);

    Compander2 halfGain;
    halfGain.fGain = 0.5f;
    Stereo quiet(100, 0.5f, 0.5f);
    quiet.processWith(halfGain);
    EXPECT_EQ(quiet.left.back(), 0.25f);
}

// The limiter's defaults frame by frame, as written out from its description: the followers on the input's and the
// output's magnitudes, the gain 1/peak above full scale and 1 below.
void limitFrameByFrame(Follower in[2], Follower out[2], Stereo& audio) {
    const auto gainOf = [](const Follower& follower) {
        const auto peak = static_cast<float>(follower.currentPeak);
        return peak > 1.0f ? 1.0f / peak : 1.0f;
    };
    for (std::size_t i = 0; i < audio.left.size(); ++i) {
        in[0].track(std::fabs(audio.left[i]));
        in[1].track(std::fabs(audio.right[i]));
        audio.left[i] *= gainOf(in[0]);
        audio.right[i] *= gainOf(in[1]);
        out[0].track(std::fabs(audio.left[i]));
        out[1].track(std::fabs(audio.right[i]));
    }
}

struct SignalCase {
    const char* label;
    std::vector<float> left;
    std::vector<float> right;
};

void PrintTo(const SignalCase& c, std::ostream* out) { *out << c.label; }

std::vector<float> joined(std::vector<float> first, const std::vector<float>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Blocks that pass unchanged and blocks that limit, and the changes between them, give what the frame-by-frame
// rule gives: the same samples and the same followers.
class Compander2Signals : public testing::TestWithParam<SignalCase> {};

TEST_P(Compander2Signals, BlocksMatchTheFrameByFrameRule) {
    const SignalCase& c = GetParam();
    Compander2 limiter;
    Stereo audio(0);
    audio.left = c.left;
    audio.right = c.right;
    Stereo expected = audio;
    constexpr std::size_t kBlock = 256;
    for (std::size_t at = 0; at < audio.left.size(); at += kBlock) {
        const std::size_t n = std::min(kBlock, audio.left.size() - at);
        limiter.process(audio.left.data() + at, audio.right.data() + at, static_cast<std::int64_t>(n));
    }
    const Compander2 fresh;
    Follower in[2] = {fresh.inputFollower[0], fresh.inputFollower[1]};
    Follower out[2] = {fresh.outputFollower[0], fresh.outputFollower[1]};
    limitFrameByFrame(in, out, expected);
    EXPECT_EQ(audio.left, expected.left);
    EXPECT_EQ(audio.right, expected.right);
    for (std::size_t k = 0; k < 2; ++k) {
        EXPECT_TRUE(limiter.inputFollower[k] == in[k]) << k;
        EXPECT_TRUE(limiter.outputFollower[k] == out[k]) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, Compander2Signals,
    testing::Values(SignalCase{"quiet_sines", sine(440.0, 0.5, 48000.0, 4000), sine(97.0, 0.25, 48000.0, 4000)},
                    SignalCase{"overshoot_just_below_full_scale", std::vector<float>(3000, 0.999f),
                               std::vector<float>(3000, -0.9985f)},
                    SignalCase{"loud_then_quiet",
                               joined(std::vector<float>(1000, 2.0f), sine(440.0, 0.5, 48000.0, 40000)),
                               joined(std::vector<float>(1000, 0.5f), sine(440.0, 0.5, 48000.0, 40000))},
                    SignalCase{"quiet_then_loud",
                               joined(sine(440.0, 0.5, 48000.0, 1000), sine(440.0, 3.0, 48000.0, 3000)),
                               joined(std::vector<float>(1000, 0.0f), std::vector<float>(3000, -1.5f))}),
    [](const testing::TestParamInfo<SignalCase>& info) { return info.param.label; });

TEST(Compander2, ProcessDoesNotAllocate) {
    Compander2 limiter;
    Stereo audio(0);
    audio.left = sine(440.0, 3.0, 48000.0, 4096);
    audio.right = audio.left;
    const auto before = testsupport::allocationsOnThisThread();
    audio.processWith(limiter);
    EXPECT_EQ(testsupport::allocationsOnThisThread(), before);
}

}  // namespace
