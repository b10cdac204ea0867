#include <gtest/gtest.h>

#include <cmath>

#include "platform/audioengine/EqualizerNode.h"
#include "platform/audioengine/LimiterNode.h"
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
