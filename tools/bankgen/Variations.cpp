#include "tools/bankgen/Variations.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <string>

namespace bankgen {

namespace {

enum class Change : std::uint8_t { detuned, octave, wide, bright, dark, slow, shorter };

struct Keyword {
    std::string_view word; // lower case
    Change change;
};

constexpr std::array<Keyword, 19> kKeywords{{
    {"det", Change::detuned},   {"chorus", Change::detuned}, {"celest", Change::detuned},
    {"oct", Change::octave},    {"8va", Change::octave},     {"wide", Change::wide},
    {"st.", Change::wide},      {"stereo", Change::wide},    {"bright", Change::bright},
    {"hard", Change::bright},   {"dark", Change::dark},      {"mellow", Change::dark},
    {"soft", Change::dark},     {"warm", Change::dark},      {"slow", Change::slow},
    {"mute", Change::shorter},  {"stac", Change::shorter},   {"pizz", Change::shorter},
    {"short", Change::shorter},
}};

// For names that say nothing of their sound.
constexpr std::array<Change, 5> kByBank{Change::detuned, Change::bright, Change::wide, Change::slow, Change::octave};

Change changeFor(std::string_view name, std::uint16_t bank)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const Keyword& keyword : kKeywords) {
        if (lower.find(keyword.word) != std::string::npos) {
            return keyword.change;
        }
    }
    return kByBank[bank % kByBank.size()];
}

// Two layers tuned, panned and levelled apart: the first as given, the second mirrored and quieter.
std::vector<VariationLayer> twoLayers(std::int16_t cents, std::int16_t semitones, std::int16_t pan,
                                      std::int16_t quieterCentibels)
{
    return {{static_cast<std::int16_t>(-cents), 0, static_cast<std::int16_t>(-pan), 0},
            {cents, semitones, pan, quieterCentibels}};
}

std::int16_t add(std::int16_t value, std::int16_t change)
{
    return static_cast<std::int16_t>(value + change);
}

} // namespace

VariationChanges variationChanges(const GeneratedInstrument& base, std::string_view name, std::uint16_t bank)
{
    VariationChanges changes;
    changes.layers = {{0, 0, 0, 0}};
    switch (changeFor(name, bank)) {
    case Change::detuned:
        changes.layers = twoLayers(9, 0, 0, 30);
        break;
    case Change::octave:
        changes.layers = twoLayers(0, 12, 0, 60);
        break;
    case Change::wide:
        changes.layers = twoLayers(4, 0, 400, 0);
        break;
    case Change::bright:
        // Where the filter is open already, a quiet octave above brightens it.
        if (std::all_of(base.regions.begin(), base.regions.end(),
                        [](const Region& region) { return region.filter.cutoffCents >= kOpenCutoffCents; })) {
            changes.layers = twoLayers(0, 12, 0, 120);
            break;
        }
        changes.cutoffCents = 1200;
        changes.envelopeToCutoffCents = 900;
        break;
    case Change::dark:
        changes.cutoffCents = -1500;
        break;
    case Change::slow:
        changes.attackTimecents = 4000;
        break;
    case Change::shorter: {
        // Half the time to a sustain 20 dB lower.
        changes.sustainCentibels = 200;
        std::int16_t sustain = base.regions.front().envelope.sustainCentibels;
        changes.decayTimecents = static_cast<std::int16_t>(
            -1200 + std::lround(1200.0 * std::log2(sustainShareOfDecay(sustain) /
                                                   sustainShareOfDecay(add(sustain, changes.sustainCentibels)))));
        changes.releaseTimecents = -1200;
        break;
    }
    }
    return changes;
}

GeneratedInstrument withChanges(const GeneratedInstrument& base, const VariationChanges& changes,
                                std::string_view name)
{
    GeneratedInstrument varied{std::string(name), {}};
    for (const Region& region : base.regions) {
        for (const VariationLayer& layer : changes.layers) {
            Region r = region;
            r.fineTune = add(r.fineTune, layer.cents);
            r.coarseTune = add(r.coarseTune, layer.semitones);
            r.pan = add(r.pan, layer.pan);
            r.attenuationCentibels = add(r.attenuationCentibels, layer.attenuationCentibels);
            r.filter.cutoffCents = add(r.filter.cutoffCents, changes.cutoffCents);
            r.filter.envelopeToCutoffCents = add(r.filter.envelopeToCutoffCents, changes.envelopeToCutoffCents);
            r.envelope.attackTimecents = add(r.envelope.attackTimecents, changes.attackTimecents);
            r.envelope.decayTimecents = add(r.envelope.decayTimecents, changes.decayTimecents);
            r.envelope.releaseTimecents = add(r.envelope.releaseTimecents, changes.releaseTimecents);
            r.envelope.sustainCentibels = add(r.envelope.sustainCentibels, changes.sustainCentibels);
            varied.regions.push_back(r);
        }
    }
    return varied;
}

} // namespace bankgen
