#include "tools/bankgen/DrumKit.h"

#include "tools/bankgen/DrumSounds.h"
#include "tools/bankgen/LoopedSamples.h"
#include "tools/bankgen/Synthesis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace bankgen {

namespace {

// The first three are each kit's own; the others all kits share.
enum class DrumSound : std::uint8_t { kick, snare, tom, clap, wood, shaker, hat, cymbal, metal, whistle, zap };
constexpr std::uint32_t kOwnSounds = 3;

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

struct Kit {
    std::uint8_t program;
    const char* name;
    DrumShape shape;
    float tailScale;               // of the ringing sounds: a room's or a stage's length
    std::int16_t cymbalCutoffCents; // kOpenCutoffCents leaves the metal open
    bool effects;                  // the effects kit: sweeps and noises instead of drums
};

constexpr std::array<Kit, 9> kKits{{
    {0, "Standard", {50, 110, 0.025f, 0.12f, 0.6f, 185, 0.04f, 0.07f, 1.2f, false, 0.4f, 0.18f, 0.3f, false}, 1.0f,
     kOpenCutoffCents, false},
    {8, "Room", {58, 90, 0.025f, 0.18f, 0.3f, 165, 0.07f, 0.14f, 0.8f, false, 0.3f, 0.35f, 0.5f, false}, 1.6f, 10800,
     false},
    {16, "Power", {42, 180, 0.03f, 0.22f, 1.2f, 210, 0.06f, 0.14f, 1.8f, false, 0.8f, 0.4f, 0.6f, false}, 1.4f,
     kOpenCutoffCents, false},
    {24, "Electronic", {55, 200, 0.04f, 0.2f, 0.1f, 240, 0.08f, 0.12f, 1.0f, false, 1.5f, 0.35f, 0.0f, false}, 0.8f,
     10500, false},
    {25, "TR-808", {48, 60, 0.05f, 0.45f, 0.05f, 330, 0.05f, 0.09f, 0.8f, false, 0.15f, 0.4f, 0.0f, false}, 0.6f, 9800,
     false},
    {32, "Jazz", {65, 60, 0.02f, 0.1f, 0.3f, 220, 0.05f, 0.1f, 0.9f, false, 0.2f, 0.25f, 0.2f, false}, 1.2f, 11000,
     false},
    {40, "Brush", {65, 60, 0.02f, 0.1f, 0.2f, 220, 0.05f, 0.18f, 1.0f, true, 0.2f, 0.25f, 0.1f, false}, 1.2f, 10000,
     false},
    {48, "Orchestra", {40, 20, 0.05f, 0.6f, 0.2f, 200, 0.03f, 0.12f, 1.3f, false, 0.0f, 1.0f, 0.1f, true}, 1.8f, kOpenCutoffCents,
     false},
    {56, "SFX", {50, 110, 0.025f, 0.12f, 0.6f, 185, 0.04f, 0.07f, 1.2f, false, 0.4f, 0.18f, 0.3f, false}, 1.0f, kOpenCutoffCents,
     true},
}};

GeneratedSample oneShot(std::string name, const std::vector<double>& signal, std::uint8_t rootKey,
                        std::uint32_t rateHz)
{
    return {std::move(name), toPoints(signal, 0.9), rateHz, rootKey, std::nullopt};
}

// The sounds all kits share, in the order of DrumSound from clap on.
std::vector<GeneratedSample> sharedSamples(const Voicing& voicing)
{
    constexpr std::array<float, 8> kMetal{1, 0, 0.6f, 0, 0.45f, 0.3f, 0, 0.35f};
    constexpr std::array<float, 2> kWhistle{1, 0.05f};
    const std::uint32_t rate = voicing.rateHz;
    std::vector<GeneratedSample> samples;
    samples.push_back(oneShot("Clap", clapSignal(rate, voicing.seed + 1), 39, rate));
    samples.push_back(oneShot("Wood", woodSignal(rate), 77, rate));
    samples.push_back(oneShot("Shaker", shakerSignal(rate, voicing.seed + 2), 69, rate));
    samples.push_back(noiseSample("Hi-Hat", rate, 2, voicing.seed + 3, 0.7));
    samples.push_back(noiseSample("Cymbal", rate, 1, voicing.seed + 4, 0.7));
    samples.push_back(cycleSample("Metal", 69, rate, kMetal, 0.7));
    samples.push_back(cycleSample("Whistle", 69, rate, kWhistle, 0.7));
    samples.push_back(oneShot("Zap", zapSignal(rate), 60, rate));
    return samples;
}

Region drumRegion(const DrumKey& key, const Kit& kit, const Voicing& voicing, std::uint32_t sample, bool looped)
{
    Region region;
    region.keyLo = key.key;
    region.keyHi = key.key;
    region.sample = sample;
    region.rootKey = key.rootKey;
    region.looped = looped;
    if (key.decaySeconds > 0) {
        double decay = key.decaySeconds * kit.tailScale * voicing.timeScale;
        region.envelope.decayTimecents = secondsToTimecents(decay);
        region.envelope.sustainCentibels = decibelsToCentibels(100);
        region.envelope.releaseTimecents = secondsToTimecents(std::min(decay, 1.0));
    } else {
        region.envelope.releaseTimecents = secondsToTimecents(1.0);
    }
    region.attenuationCentibels = decibelsToCentibels(key.attenuationDecibels);
    region.pan = static_cast<std::int16_t>(std::lround(key.pan * voicing.kitPanScale));
    region.exclusiveClass = key.exclusiveClass;
    if (key.sound == DrumSound::hat || key.sound == DrumSound::cymbal || key.sound == DrumSound::metal) {
        // The voicing colours the metal by half its own filter offset, never below 2.6 kHz.
        region.filter.cutoffCents = static_cast<std::int16_t>(
            std::clamp<int>(kit.cymbalCutoffCents + voicing.cutoffOffsetCents / 2, 10000, kOpenCutoffCents));
    }
    return region;
}

// The effects kit plays every key with a sound of the shared set at a pitch of its own, held ones dying in a second.
DrumKey effectKey(std::uint8_t key)
{
    constexpr std::array<DrumSound, 7> kCycle{DrumSound::zap,  DrumSound::cymbal, DrumSound::shaker, DrumSound::metal,
                                              DrumSound::whistle, DrumSound::clap, DrumSound::wood};
    DrumSound sound = kCycle[key % kCycle.size()];
    auto root = static_cast<std::uint8_t>(36 + (key * 7) % 48);
    bool held = sound == DrumSound::cymbal || sound == DrumSound::metal || sound == DrumSound::whistle;
    return {key, sound, root, held ? 1.0f : 0.0f, 4, static_cast<std::int16_t>((key % 5) * 150 - 300), 0};
}

} // namespace

void addDrumKits(ProgramSet& set, const Voicing& voicing)
{
    auto shared = static_cast<std::uint32_t>(set.samples.size());
    std::vector<GeneratedSample> samples = sharedSamples(voicing);
    std::vector<bool> looped;
    for (GeneratedSample& sample : samples) {
        looped.push_back(sample.loop.has_value());
        set.samples.push_back(std::move(sample));
    }
    auto sampleOf = [&](DrumSound sound, std::uint32_t own) {
        auto index = static_cast<std::uint32_t>(sound);
        return index < kOwnSounds ? own + index : shared + index - kOwnSounds;
    };
    for (const Kit& kit : kKits) {
        auto own = static_cast<std::uint32_t>(set.samples.size());
        if (!kit.effects) {
            const std::uint32_t rate = voicing.rateHz;
            std::string prefix = std::string(kit.name) + " ";
            set.samples.push_back(oneShot(prefix + "Kick", kickSignal(kit.shape, rate, voicing.seed + kit.program), 36,
                                          rate));
            set.samples.push_back(
                oneShot(prefix + "Snare", snareSignal(kit.shape, rate, voicing.seed + 2 * kit.program), 38, rate));
            set.samples.push_back(
                oneShot(prefix + "Tom", tomSignal(kit.shape, rate, voicing.seed + 3 * kit.program), 43, rate));
        }
        PlacedInstrument placed{kDrumBank, kit.program, {kit.name, {}}};
        for (const DrumKey& standard : kKeys) {
            DrumKey key = kit.effects ? effectKey(standard.key) : standard;
            auto index = static_cast<std::uint32_t>(key.sound);
            bool isLooped = index >= kOwnSounds && looped[index - kOwnSounds];
            placed.instrument.regions.push_back(drumRegion(key, kit, voicing, sampleOf(key.sound, own), isLooped));
        }
        set.kits.push_back(std::move(placed));
    }
}

} // namespace bankgen
