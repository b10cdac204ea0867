#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/audioengine/EqualizerNode.h"
#include "platform/audioengine/LimiterNode.h"
#include "platform/audioengine/PeakLimiter.h"
#include "platform/audioengine/Reverb.h"
#include "platform/audioengine/ReverbNode.h"
#include "tests/platform/audioengine/ManualEngine.h"
#include "tests/platform/audioengine/SoxTool.h"
#include "tests/platform/audioengine/TestSignals.h"

using namespace audioengine;
using namespace audioengine::testing;

namespace {

// source -> node -> main mixer, started.
void chain(ManualEngine& m, const std::shared_ptr<Node>& source, const std::shared_ptr<Node>& node) {
    m.engine.attach(source);
    m.engine.attach(node);
    ASSERT_TRUE(m.engine.connect(source, node, m.format()));
    ASSERT_TRUE(m.engine.connect(node, m.engine.mainMixerNode(), m.format()));
    std::string error;
    ASSERT_TRUE(m.engine.start(&error)) << error;
}

double decibels(double ratio) { return 20.0 * std::log10(ratio); }

// The three bands of the host's chain: 40, 440 and 12000 Hz, three octaves wide, 0 dB, on.
std::shared_ptr<EqualizerNode> hostEqualizer(float gainAt440) {
    auto eq = std::make_shared<EqualizerNode>(3);
    const float centres[] = {40.0f, 440.0f, 12000.0f};
    for (size_t i = 0; i < 3; ++i) {
        EqualizerBand& band = *eq->bands()[i];
        band.setFrequency(centres[i]);
        band.setBandwidth(3.0f);
        band.setGain(i == 1 ? gainAt440 : 0.0f);
        band.setBypass(false);
    }
    return eq;
}

double equalizerGainDecibels(double frequencyHz, float gainAt440) {
    ManualEngine m;
    chain(m, std::make_shared<SineNode>(frequencyHz, 0.25f), hostEqualizer(gainAt440));
    m.render(48000);  // settle
    const auto out = m.render(48000);
    return decibels(rms(out.left, 0, out.left.size()) / (0.25 / std::sqrt(2.0)));
}

}  // namespace

TEST(Equalizer, PlusSixDecibelsAt440HzMeasuresSixDecibelsThere) {
    EXPECT_NEAR(equalizerGainDecibels(440.0, 6.0f), 6.0, 0.1);
    EXPECT_NEAR(equalizerGainDecibels(440.0, -6.0f), -6.0, 0.1);
    EXPECT_NEAR(equalizerGainDecibels(440.0, 0.0f), 0.0, 0.01);
}

TEST(Equalizer, MatchesSoxPeakingFilterAwayFromTheCentre) {
    testsupport::TestFolder folder;
    const std::string input = (folder.path() / "in.wav").string();
    commandOutput("sox -n -r 48000 -c 1 -b 32 -e floating-point '" + input + "' synth 1 sine 5000 vol 0.5");
    const double reference = decibels(soxStat(input, "RMS     amplitude", "equalizer 440 3o +6") /
                                      soxStat(input, "RMS     amplitude"));
    ASSERT_GT(reference, 0.0);
    EXPECT_NEAR(equalizerGainDecibels(5000.0, 6.0f), reference, 0.02);
}

TEST(Equalizer, BypassedBandsLeaveTheSignalAlone) {
    ManualEngine m;
    auto eq = hostEqualizer(12.0f);
    for (const auto& band : eq->bands()) band->setBypass(true);
    chain(m, std::make_shared<SineNode>(440.0, 0.5f), eq);
    const auto out = m.render(4800);
    for (size_t i = 0; i < out.left.size(); i += 101)
        ASSERT_FLOAT_EQ(out.left[i], static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * i / 48000.0)));
}

// The gain steps of the host's chain: its three bands start at 0 dB, where they must pass every sample as it is, and
// a band moved off 0 dB and back must measure its gain each time.
TEST(Equalizer, BandsAtZeroDecibelsPassTheSignalAndFollowLaterGains) {
    ManualEngine m;
    auto eq = hostEqualizer(0.0f);
    chain(m, std::make_shared<SineNode>(440.0, 0.25f), eq);
    const auto untouched = m.render(4800);
    for (size_t i = 0; i < untouched.left.size(); ++i)
        ASSERT_EQ(untouched.left[i],
                  static_cast<float>(0.25 * std::sin(2.0 * std::numbers::pi * 440.0 * (static_cast<double>(i) / 48000.0))))
            << i;
    for (const float gain : {6.0f, 0.0f, -6.0f, 0.0f}) {
        eq->bands()[1]->setGain(gain);
        m.render(24000);  // settle
        const auto out = m.render(24000);
        EXPECT_NEAR(decibels(rms(out.left, 0, out.left.size()) / (0.25 / std::sqrt(2.0))), gain, 0.1) << gain;
    }
}

namespace {

// The limiter as its header defines it, frame by frame in double precision: each frame's required gain, the
// minimum of the last L of them, that minimum averaged over the last L frames, the target as the smaller of the
// average and the leaving frame's own need, an instant attack and a one-pole release, the input delayed by L - 1.
std::vector<double> limiterModel(const std::vector<float>& input, const PeakLimiterSettings& settings) {
    const auto length = static_cast<size_t>(std::lround(settings.attackSeconds * 48000.0)) + 1;
    const double preGain = std::pow(10.0, settings.preGainDecibels / 20.0);
    const double ceiling = std::pow(10.0, settings.ceilingDecibels / 20.0) * (1.0 - 1e-5);
    const double release = 1.0 - std::exp(-1.0 / (settings.releaseSeconds * 48000.0));
    std::vector<double> need(input.size()), minimum(input.size()), out(input.size());
    double gain = 1.0;
    for (size_t n = 0; n < input.size(); ++n) {
        const double peak = std::fabs(input[n] * preGain);
        need[n] = peak > ceiling ? ceiling / peak : 1.0;
        minimum[n] = need[n];
        for (size_t k = 1; k < length && k <= n; ++k) minimum[n] = std::min(minimum[n], need[n - k]);
        double sum = 0.0;
        for (size_t k = 0; k < length; ++k) sum += k <= n ? minimum[n - k] : 1.0;
        const size_t leaving = n + 1 >= length ? n + 1 - length : input.size();
        const double target = std::min(sum / length, leaving < input.size() ? need[leaving] : 1.0);
        gain = target < gain ? target : gain + (target - gain) * release;
        out[n] = leaving < input.size() ? input[leaving] * preGain * gain : 0.0;
    }
    return out;
}

}  // namespace

// Quiet stretches, where the limiter only delays, and loud ones in between: in blocks of any size it must give the
// frame-by-frame result of its definition.
TEST(Limiter, MatchesItsDefinitionAcrossQuietAndLoudStretches) {
    std::vector<float> input(24000);
    for (size_t i = 0; i < input.size(); ++i) {
        const double level = (i / 4000) % 2 == 0 ? 0.3 : 2.0;
        input[i] = static_cast<float>(level * std::sin(2.0 * std::numbers::pi * 330.0 * static_cast<double>(i) / 48000.0));
    }
    // A look-ahead of 96 frames, and none.
    for (const PeakLimiterSettings settings : {PeakLimiterSettings{0.002, 0.004, 3.0, -1.0},
                                                PeakLimiterSettings{0.0, 0.004, 3.0, -1.0}}) {
        const std::vector<double> expected = limiterModel(input, settings);
        for (const uint32_t block : {1u, 64u, 500u, 4096u}) {
            PeakLimiter limiter;
            limiter.prepare(48000.0, 0.1);
            limiter.configure(settings);
            std::vector<float> left = input, right = input;
            for (size_t done = 0; done < input.size(); done += block) {
                const auto n = static_cast<uint32_t>(std::min<size_t>(block, input.size() - done));
                limiter.process(left.data() + done, right.data() + done, n);
            }
            double worst = 0.0;
            for (size_t i = 0; i < input.size(); ++i) worst = std::max(worst, std::fabs(left[i] - expected[i]));
            EXPECT_LT(worst, 1e-5) << "attack " << settings.attackSeconds << " s, blocks of " << block;
            EXPECT_EQ(left, right);
        }
    }
}

TEST(Limiter, KeepsEveryPeakBelowItsCeiling) {
    struct Case {
        double preGainDecibels;
        double ceilingDecibels;
        double frequencyHz;
    };
    for (const Case& c : {Case{0.0, 0.0, 440.0}, Case{12.0, 0.0, 440.0}, Case{12.0, -3.0, 100.0},
                          Case{24.0, -1.0, 5000.0}}) {
        ManualEngine m;
        auto limiter = std::make_shared<LimiterNode>();
        limiter->setSettings({0.012, 0.024, c.preGainDecibels, c.ceilingDecibels});
        chain(m, std::make_shared<SineNode>(c.frequencyHz, 1.0f), limiter);
        const auto out = m.render(96000);
        const float ceiling = static_cast<float>(std::pow(10.0, c.ceilingDecibels / 20.0));
        EXPECT_LE(peak(out.left), ceiling) << c.preGainDecibels << " dB into " << c.ceilingDecibels << " dB";
        EXPECT_LE(peak(out.right), ceiling);
        // It limits, it does not mute: the held level sits close to the ceiling.
        EXPECT_GT(peak(out.left), ceiling * 0.9f);
    }
}

TEST(Limiter, PassesQuietSignalsUnchangedAfterItsLookAhead) {
    ManualEngine m;
    auto limiter = std::make_shared<LimiterNode>();
    chain(m, std::make_shared<SineNode>(440.0, 0.5f), limiter);
    const auto out = m.render(9600);
    const auto delay = static_cast<size_t>(std::lround(0.012 * 48000.0));
    EXPECT_NEAR(limiter->latency(), 0.012, 1e-9);
    for (size_t i = delay; i < out.left.size(); i += 37)
        ASSERT_NEAR(out.left[i], 0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * (i - delay) / 48000.0), 1e-5) << i;
}

TEST(Reverb, DryMixPassesTheInputAndWetMixRings) {
    {
        ManualEngine m;
        auto reverb = std::make_shared<ReverbNode>();
        reverb->setWetDryMix(0.0f);
        chain(m, std::make_shared<ImpulseNode>(), reverb);
        const auto out = m.render(4800);
        EXPECT_EQ(out.left[0], 1.0f);
        EXPECT_EQ(peak(std::vector<float>(out.left.begin() + 1, out.left.end())), 0.0f);
    }
    auto tailEnergy = [](ReverbPreset preset) {
        ManualEngine m;
        auto reverb = std::make_shared<ReverbNode>();
        reverb->loadFactoryPreset(preset);
        reverb->setWetDryMix(100.0f);
        chain(m, std::make_shared<ImpulseNode>(), reverb);
        const auto out = m.render(96000);
        EXPECT_GT(peak(out.left), 0.0f);
        EXPECT_GT(peak(out.right), 0.0f);
        EXPECT_NE(out.left, out.right) << "the channels differ for width";
        return rms(out.left, 48000, 96000);  // the second second of the tail
    };
    const double small = tailEnergy(ReverbPreset::smallRoom);
    const double cathedral = tailEnergy(ReverbPreset::cathedral);
    EXPECT_GT(cathedral, small * 100.0) << "a cathedral rings far longer than a small room";
}

// The reverb is linear: one kept awake by a faint click every 2,048 frames, minus one fed the clicks alone, is a
// reverb that never sleeps. One fed only the bursts, with long silences between them, must sleep in each silence
// and still give that signal to within -120 dB of full scale, its tail uncut and the next burst in step.
TEST(Reverb, SleepsOnlyOnceItsTailHasEndedAndWakesInStep) {
    constexpr uint32_t kBlock = 512;
    constexpr int kBlocks = 1100;
    Reverb sleeper, awake, clicks;
    for (Reverb* reverb : {&sleeper, &awake, &clicks}) {
        reverb->prepare(48000.0);
        reverb->configure(reverbShape(ReverbPreset::mediumHall));
    }
    std::vector<float> burst(kBlock), clicked(kBlock), click(kBlock), zero(kBlock, 0.0f);
    std::vector<float> left(kBlock), right(kBlock), awakeLeft(kBlock), awakeRight(kBlock), clickLeft(kBlock),
        clickRight(kBlock);
    uint32_t noise = 1;
    double worst = 0.0;
    int sleptBlocks = 0;
    for (int b = 0; b < kBlocks; ++b) {
        const bool sounding = b < 20 || (b >= 550 && b < 570);
        for (uint32_t i = 0; i < kBlock; ++i) {
            noise = noise * 1664525u + 1013904223u;
            burst[i] = sounding ? static_cast<float>(noise >> 8) / 16777216.0f - 0.5f : 0.0f;
            click[i] = (b * kBlock + i) % 2048 == 0 ? 1e-3f : 0.0f;
            clicked[i] = burst[i] + click[i];
        }
        sleeper.process(burst.data(), zero.data(), left.data(), right.data(), kBlock);
        awake.process(clicked.data(), zero.data(), awakeLeft.data(), awakeRight.data(), kBlock);
        clicks.process(click.data(), zero.data(), clickLeft.data(), clickRight.data(), kBlock);
        ASSERT_FALSE(awake.sleeping());
        sleptBlocks += sleeper.sleeping() ? 1 : 0;
        if (sounding) {
            EXPECT_FALSE(sleeper.sleeping()) << b;
        }
        for (uint32_t i = 0; i < kBlock; ++i) {
            worst = std::max(worst, std::fabs(double(left[i]) - (double(awakeLeft[i]) - clickLeft[i])));
            worst = std::max(worst, std::fabs(double(right[i]) - (double(awakeRight[i]) - clickRight[i])));
        }
    }
    EXPECT_GT(sleptBlocks, 100);
    EXPECT_TRUE(sleeper.sleeping());
    EXPECT_LT(worst, 2e-6);
}

// Blocks go through the filters a stretch of frames at a time (the combs' low-pass filters side by side in vectors,
// four frames at once); one frame per call goes through them one by one. Both give the same samples, for shapes
// of short and long lines, over enough frames for the lines to go round several times and with blocks of every
// kind of length (whole groups of four frames, and not).
TEST(Reverb, BlocksGiveTheSamplesOfFrameByFrame) {
    constexpr uint32_t kFrames = 24000;
    const uint32_t blocks[] = {256, 1, 3, 130, 7, 64, 255, 2, 40};
    for (ReverbPreset preset : {ReverbPreset::smallRoom, ReverbPreset::cathedral}) {
        Reverb whole, single;
        for (Reverb* reverb : {&whole, &single}) {
            reverb->prepare(48000.0);
            reverb->configure(reverbShape(preset));
        }
        std::vector<float> left(kFrames), right(kFrames);
        uint32_t noise = 7;
        for (uint32_t i = 0; i < kFrames; ++i) {
            noise = noise * 1664525u + 1013904223u;
            left[i] = static_cast<float>(noise >> 8) / 16777216.0f - 0.5f;
            right[i] = i % 3 == 0 ? 0.25f : -left[i];
        }
        std::vector<float> wholeLeft(kFrames), wholeRight(kFrames), singleLeft(kFrames), singleRight(kFrames);
        for (uint32_t done = 0, b = 0; done < kFrames; ++b) {
            const uint32_t n = std::min(blocks[b % std::size(blocks)], kFrames - done);
            whole.process(left.data() + done, right.data() + done, wholeLeft.data() + done, wholeRight.data() + done,
                          n);
            done += n;
        }
        for (uint32_t i = 0; i < kFrames; ++i)
            single.process(&left[i], &right[i], &singleLeft[i], &singleRight[i], 1);
        for (uint32_t i = 0; i < kFrames; ++i) {
            ASSERT_EQ(wholeLeft[i], singleLeft[i]) << static_cast<int>(preset) << ", frame " << i;
            ASSERT_EQ(wholeRight[i], singleRight[i]) << static_cast<int>(preset) << ", frame " << i;
        }
    }
}

TEST(Reverb, KeepsItsSettings) {
    ReverbNode reverb;
    EXPECT_EQ(reverb.factoryPreset(), ReverbPreset::mediumRoom);
    reverb.loadFactoryPreset(ReverbPreset::largeHall);
    EXPECT_EQ(reverb.factoryPreset(), ReverbPreset::largeHall);
    reverb.setWetDryMix(33.0f);
    EXPECT_EQ(reverb.wetDryMix(), 33.0f);
    reverb.setWetDryMix(150.0f);
    EXPECT_EQ(reverb.wetDryMix(), 100.0f);
}
