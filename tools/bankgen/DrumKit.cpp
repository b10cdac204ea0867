#include "tools/bankgen/DrumKit.h"

#include "tools/bankgen/LoopedSamples.h"
#include "tools/bankgen/Synthesis.h"

#include <array>
#include <cmath>
#include <vector>

namespace bankgen {

namespace {

enum class DrumSound : std::uint8_t { kick, snare, tom, clap, wood, shaker, hat, cymbal, metal, whistle };

constexpr std::uint16_t kHiHatClass = 1;
constexpr std::uint16_t kTriangleClass = 2;
constexpr std::uint16_t kWhistleClass = 3;

struct DrumKey {
    std::uint8_t key;
    DrumSound sound;
    std::uint8_t rootKey;       // the key at which the sound plays at its own pitch
    float decaySeconds;         // 0: the one-shot sample plays out
    float attenuationDecibels;
    std::int16_t pan;
    std::uint16_t exclusiveClass;
};

constexpr std::array<DrumKey, 47> kKeys{{
    {35, DrumSound::kick, 38, 0, 0, 0, 0},
    {36, DrumSound::kick, 36, 0, 0, 0, 0},
    {37, DrumSound::wood, 44, 0, 4, 0, 0},
    {38, DrumSound::snare, 38, 0, 0, 0, 0},
    {39, DrumSound::clap, 39, 0, 2, -100, 0},
    {40, DrumSound::snare, 36, 0, 0, 0, 0},
    {41, DrumSound::tom, 43, 0, 0, -300, 0},
    {42, DrumSound::hat, 42, 0.25f, 6, 250, kHiHatClass},
    {43, DrumSound::tom, 43, 0, 0, -200, 0},
    {44, DrumSound::hat, 40, 0.35f, 7, 250, kHiHatClass},
    {45, DrumSound::tom, 43, 0, 0, -100, 0},
    {46, DrumSound::hat, 44, 1.8f, 6, 250, kHiHatClass},
    {47, DrumSound::tom, 43, 0, 0, 0, 0},
    {48, DrumSound::tom, 43, 0, 0, 100, 0},
    {49, DrumSound::cymbal, 49, 4.0f, 4, -250, 0},
    {50, DrumSound::tom, 43, 0, 0, 200, 0},
    {51, DrumSound::cymbal, 47, 5.0f, 8, 250, 0},
    {52, DrumSound::cymbal, 45, 3.0f, 5, -300, 0},
    {53, DrumSound::metal, 36, 1.5f, 6, 250, 0},
    {54, DrumSound::shaker, 50, 0.3f, 4, 200, 0},
    {55, DrumSound::cymbal, 62, 1.5f, 5, -200, 0},
    {56, DrumSound::metal, 52, 0.35f, 5, 150, 0},
    {57, DrumSound::cymbal, 59, 3.5f, 4, 300, 0},
    {58, DrumSound::shaker, 56, 1.0f, 4, -200, 0},
    {59, DrumSound::cymbal, 55, 5.0f, 8, 300, 0},
    {60, DrumSound::tom, 36, 0, 3, 200, 0},
    {61, DrumSound::tom, 40, 0, 3, 150, 0},
    {62, DrumSound::tom, 43, 0.12f, 3, -150, 0},
    {63, DrumSound::tom, 44, 0, 3, -150, 0},
    {64, DrumSound::tom, 50, 0, 3, -200, 0},
    {65, DrumSound::tom, 37, 0, 3, 250, 0},
    {66, DrumSound::tom, 42, 0, 3, 250, 0},
    {67, DrumSound::metal, 55, 0.5f, 6, -250, 0},
    {68, DrumSound::metal, 61, 0.5f, 6, -250, 0},
    {69, DrumSound::shaker, 69, 0, 5, -300, 0},
    {70, DrumSound::shaker, 66, 0, 5, 300, 0},
    {71, DrumSound::whistle, 40, 0.25f, 8, 300, kWhistleClass},
    {72, DrumSound::whistle, 44, 0.8f, 8, 300, kWhistleClass},
    {73, DrumSound::shaker, 61, 0.15f, 4, -300, 0},
    {74, DrumSound::shaker, 66, 0.6f, 4, -300, 0},
    {75, DrumSound::wood, 67, 0, 4, 200, 0},
    {76, DrumSound::wood, 73, 0, 4, 150, 0},
    {77, DrumSound::wood, 77, 0, 4, 150, 0},
    {78, DrumSound::tom, 48, 0.2f, 6, -150, 0},
    {79, DrumSound::tom, 55, 0.5f, 6, -150, 0},
    {80, DrumSound::metal, 57, 0.25f, 8, 350, kTriangleClass},
    {81, DrumSound::metal, 57, 2.5f, 8, 350, kTriangleClass},
}};

GeneratedSample oneShot(const char* name, const std::vector<double>& signal, std::uint8_t rootKey)
{
    return {name, toPoints(signal, 0.9), kSampleRateHz, rootKey, std::nullopt};
}

std::vector<GeneratedSample> drumSamples()
{
    constexpr std::array<float, 8> kMetal{1, 0, 0.6f, 0, 0.45f, 0.3f, 0, 0.35f};
    constexpr std::array<float, 2> kWhistle{1, 0.05f};
    // In the order of DrumSound.
    std::vector<GeneratedSample> samples;
    samples.push_back(oneShot("Kick", kickSignal(), 36));
    samples.push_back(oneShot("Snare", snareSignal(), 38));
    samples.push_back(oneShot("Tom", tomSignal(), 43));
    samples.push_back(oneShot("Clap", clapSignal(), 39));
    samples.push_back(oneShot("Wood", woodSignal(), 77));
    samples.push_back(oneShot("Shaker", shakerSignal(), 69));
    samples.push_back(noiseSample("Hi-Hat", 2, 0x4a7, 0.7));
    samples.push_back(noiseSample("Cymbal", 1, 0xc7b, 0.7));
    samples.push_back(cycleSample("Metal", 69, kMetal, 0.7));
    samples.push_back(cycleSample("Whistle", 69, kWhistle, 0.7));
    return samples;
}

Region drumRegion(const DrumKey& key, std::uint32_t sample, bool looped)
{
    Region region;
    region.keyLo = key.key;
    region.keyHi = key.key;
    region.sample = sample;
    region.rootKey = key.rootKey;
    region.looped = looped;
    if (key.decaySeconds > 0) {
        region.envelope.decayTimecents = secondsToTimecents(key.decaySeconds);
        region.envelope.sustainCentibels = decibelsToCentibels(100);
        region.envelope.releaseTimecents = secondsToTimecents(std::min(key.decaySeconds, 1.0f));
    } else {
        region.envelope.releaseTimecents = secondsToTimecents(1.0);
    }
    region.attenuationCentibels = decibelsToCentibels(key.attenuationDecibels);
    region.pan = key.pan;
    region.exclusiveClass = key.exclusiveClass;
    return region;
}

} // namespace

void addDrumKit(ProgramSet& set)
{
    auto first = static_cast<std::uint32_t>(set.samples.size());
    std::vector<GeneratedSample> samples = drumSamples();
    set.drums.name = "Standard Kit";
    for (const DrumKey& key : kKeys) {
        auto index = static_cast<std::uint32_t>(key.sound);
        set.drums.regions.push_back(drumRegion(key, first + index, samples[index].loop.has_value()));
    }
    for (GeneratedSample& sample : samples) {
        set.samples.push_back(std::move(sample));
    }
}

} // namespace bankgen
