#include "tools/midigen/Pieces.h"

#include <array>
#include <span>

namespace midigen {

namespace {

constexpr std::uint8_t kDrumChannel = 9;

enum DrumKey : std::uint8_t {
    kKick = 36,
    kSideStick = 37,
    kClap = 39,
    kSnare = 38,
    kClosedHat = 42,
    kOpenHat = 46,
    kCrash = 49,
    kRide = 51,
};

// A melody note: beat within its bar, key, length in beats.
struct Tone {
    double beat;
    std::uint8_t key;
    double beats;
};

// A melody of one row of tones per bar.
template <std::size_t Bars, std::size_t PerBar>
using Melody = std::array<std::array<Tone, PerBar>, Bars>;

template <std::size_t Bars, std::size_t PerBar>
void play(Part& part, const Melody<Bars, PerBar>& melody, double beatsPerBar, std::uint8_t velocity)
{
    for (std::size_t bar = 0; bar < Bars; ++bar) {
        for (const Tone& tone : melody[bar]) {
            if (tone.beats > 0) {
                part.note(bar * beatsPerBar + tone.beat, tone.key, tone.beats, velocity);
            }
        }
    }
}

Part drums(Composition& piece)
{
    return piece.part({"Drums", kDrumChannel, 0, 100, 64});
}

} // namespace

Composition morningWalk()
{
    Composition piece(100.0);
    piece.tempo(16.0, 108.0);
    constexpr std::array<Chord, 9> kChords{{{60}, {57, true}, {53}, {55}, {60}, {57, true}, {50, true}, {55}, {60}}};
    constexpr Melody<9, 4> kTune{{
        {{{0, 64, 1}, {1, 67, 1}, {2, 72, 1}, {3, 67, 1}}},
        {{{0, 69, 1.5}, {1.5, 72, 0.5}, {2, 71, 1}, {3, 69, 1}}},
        {{{0, 65, 1}, {1, 69, 1}, {2, 72, 1}, {3, 74, 1}}},
        {{{0, 76, 2}, {2, 74, 1}, {3, 71, 1}, {}}},
        {{{0, 72, 1}, {1, 76, 1}, {2, 79, 1}, {3, 76, 1}}},
        {{{0, 72, 1.5}, {1.5, 71, 0.5}, {2, 69, 2}, {}}},
        {{{0, 74, 1}, {1, 77, 1}, {2, 81, 1}, {3, 77, 1}}},
        {{{0, 79, 2}, {2, 77, 1}, {3, 74, 1}, {}}},
        {{{0, 72, 4}, {}, {}, {}}},
    }};
    Part piano = piece.part({"Piano", 0, 0, 110, 60});
    Part bass = piece.part({"Bass", 1, 33, 100, 64});
    Part strings = piece.part({"Strings", 2, 48, 80, 70});
    Part kit = drums(piece);
    play(piano, kTune, 4, 96);
    for (std::size_t bar = 0; bar < kChords.size(); ++bar) {
        const Chord& c = kChords[bar];
        double at = bar * 4.0;
        bool last = bar + 1 == kChords.size();
        strings.chord(at, c, 4, 60);
        bass.note(at, c.root - 24, last ? 4 : 1.5);
        if (last) {
            kit.note(at, kKick, 1);
            kit.note(at, kCrash, 4);
            continue;
        }
        bass.note(at + 1.5, c.root - 24, 0.5, 80);
        bass.note(at + 2, c.fifth() - 24, 1);
        bass.note(at + 3, c.root - 12, 1, 80);
        for (int beat = 0; beat < 4; ++beat) {
            kit.note(at + beat, beat % 2 == 0 ? kKick : kSnare, 0.5, beat % 2 == 0 ? 100 : 90);
        }
        for (int eighth = 0; eighth < 8; ++eighth) {
            kit.note(at + eighth * 0.5, kClosedHat, 0.25, eighth % 2 == 0 ? 80 : 60);
        }
    }
    return piece;
}

Composition harbourLights()
{
    Composition piece(84.0);
    piece.tempo(24.0, 78.0);
    constexpr std::array<Chord, 9> kChords{{{53}, {50, true}, {58}, {60}, {53}, {50, true}, {58}, {60}, {53}}};
    Part keys = piece.part({"Electric Piano", 0, 4, 100, 54});
    Part vibes = piece.part({"Vibraphone", 1, 11, 90, 80});
    Part bass = piece.part({"Fretless", 2, 35, 100, 64});
    Part kit = drums(piece);
    for (std::size_t bar = 0; bar < kChords.size(); ++bar) {
        const Chord& c = kChords[bar];
        double at = bar * 4.0;
        if (bar + 1 == kChords.size()) {
            keys.chord(at, c, 4, 70);
            vibes.note(at, c.root + 24, 4, 70);
            bass.note(at, c.root - 24, 4);
            kit.note(at, kRide, 2, 70);
            kit.note(at, kKick, 1, 80);
            continue;
        }
        keys.chord(at, c, 1.5, 68);
        keys.chord(at + 1.5, c, 2.5, 62);
        const std::array<std::uint8_t, 8> arpeggio{
            static_cast<std::uint8_t>(c.root + 12), static_cast<std::uint8_t>(c.third() + 12),
            static_cast<std::uint8_t>(c.fifth() + 12), static_cast<std::uint8_t>(c.root + 24),
            static_cast<std::uint8_t>(c.fifth() + 12), static_cast<std::uint8_t>(c.third() + 12),
            static_cast<std::uint8_t>(c.root + 12), c.fifth()};
        if (bar >= 2) {
            for (std::size_t i = 0; i < arpeggio.size(); ++i) {
                vibes.note(at + i * 0.5, arpeggio[i], 0.5, i % 2 == 0 ? 78 : 66);
            }
        }
        bass.note(at, c.root - 24, 2);
        bass.note(at + 2, c.fifth() - 24, 2, 80);
        for (int beat = 0; beat < 4; ++beat) {
            kit.note(at + beat, kRide, 1, beat % 2 == 0 ? 70 : 55);
        }
        kit.note(at, kKick, 0.5, 80);
        kit.note(at + 2.5, kKick, 0.5, 70);
        kit.note(at + 3, kSideStick, 0.5, 70);
    }
    return piece;
}

Composition copperEngine()
{
    Composition piece(124.0);
    piece.tempo(32.0, 130.0);
    constexpr std::array<Chord, 4> kLoop{{{57, true}, {53}, {60}, {55}}};
    constexpr int kBars = 12;
    Part lead = piece.part({"Saw Lead", 0, 81, 90, 64});
    Part bass = piece.part({"Synth Bass", 1, 38, 110, 64});
    Part pad = piece.part({"Warm Pad", 2, 89, 75, 64});
    Part kit = drums(piece);
    for (int bar = 0; bar <= kBars; ++bar) {
        const Chord& c = kLoop[bar % kLoop.size()];
        double at = bar * 4.0;
        if (bar % 4 == 0) {
            kit.note(at, kCrash, 2, 90);
        }
        if (bar == kBars) {
            pad.chord(at, kLoop[0], 4, 60);
            bass.note(at, kLoop[0].root - 24, 2);
            lead.note(at, kLoop[0].root + 12, 2);
            kit.note(at, kKick, 1);
            break;
        }
        pad.chord(at, c, 4, 55);
        for (int eighth = 0; eighth < 8; ++eighth) {
            bass.note(at + eighth * 0.5, c.root - (eighth % 2 == 0 ? 24 : 12), 0.4, eighth % 2 == 0 ? 105 : 85);
            if (eighth % 2 == 1) {
                kit.note(at + eighth * 0.5, eighth == 7 && bar % 2 == 1 ? kOpenHat : kClosedHat, 0.25, 75);
            }
        }
        for (int beat = 0; beat < 4; ++beat) {
            kit.note(at + beat, kKick, 0.5, 110);
            if (beat % 2 == 1) {
                kit.note(at + beat, kClap, 0.5, 95);
            }
        }
        if (bar >= 4) {
            const std::array<Tone, 6> riff{{{0, static_cast<std::uint8_t>(c.root + 12), 0.75},
                                            {0.75, static_cast<std::uint8_t>(c.third() + 12), 0.75},
                                            {1.5, static_cast<std::uint8_t>(c.fifth() + 12), 0.5},
                                            {2, static_cast<std::uint8_t>(c.root + 24), 1},
                                            {3, static_cast<std::uint8_t>(c.fifth() + 12), 0.5},
                                            {3.5, static_cast<std::uint8_t>(c.third() + 12), 0.5}}};
            for (const Tone& tone : riff) {
                lead.note(at + tone.beat, tone.key, tone.beats, 92);
            }
        }
    }
    return piece;
}

Composition slowRiver()
{
    Composition piece(72.0);
    piece.tempo(30.0, 68.0);
    piece.tempo(31.0, 64.0);
    piece.tempo(32.0, 60.0);
    constexpr std::array<Chord, 9> kChords{{{50}, {47, true}, {43}, {45}, {50}, {47, true}, {43}, {45}, {50}}};
    constexpr Melody<9, 4> kTune{{
        {{{0, 78, 2}, {2, 76, 1}, {3, 74, 1}}},
        {{{0, 74, 1.5}, {1.5, 73, 0.5}, {2, 71, 2}, {}}},
        {{{0, 71, 1}, {1, 74, 1}, {2, 79, 2}, {}}},
        {{{0, 78, 1}, {1, 76, 1}, {2, 73, 2}, {}}},
        {{{0, 81, 2}, {2, 78, 1}, {3, 81, 1}}},
        {{{0, 83, 1.5}, {1.5, 81, 0.5}, {2, 78, 2}, {}}},
        {{{0, 79, 1}, {1, 83, 1}, {2, 86, 1}, {3, 83, 1}}},
        {{{0, 81, 2}, {2, 79, 1}, {3, 76, 1}}},
        {{{0, 74, 4}, {}, {}, {}}},
    }};
    Part guitar = piece.part({"Nylon Guitar", 0, 24, 100, 50});
    Part flute = piece.part({"Flute", 1, 73, 95, 78});
    Part cello = piece.part({"Cello", 2, 42, 90, 64});
    play(flute, kTune, 4, 88);
    for (std::size_t bar = 0; bar < kChords.size(); ++bar) {
        const Chord& c = kChords[bar];
        double at = bar * 4.0;
        cello.note(at, c.root - 12, 4, 80);
        if (bar + 1 == kChords.size()) {
            guitar.chord(at, c, 4, 70);
            continue;
        }
        const std::array<std::uint8_t, 8> arpeggio{
            c.root, c.fifth(), static_cast<std::uint8_t>(c.root + 12), static_cast<std::uint8_t>(c.third() + 12),
            static_cast<std::uint8_t>(c.fifth() + 12), static_cast<std::uint8_t>(c.third() + 12),
            static_cast<std::uint8_t>(c.root + 12), c.fifth()};
        for (std::size_t i = 0; i < arpeggio.size(); ++i) {
            guitar.note(at + i * 0.5, arpeggio[i], 0.75, i == 0 ? 80 : 64);
        }
    }
    return piece;
}

Composition gardenWaltz()
{
    Composition piece(132.0, 3);
    piece.tempo(24.0, 120.0);
    constexpr std::array<Chord, 9> kChords{{{55}, {52, true}, {60}, {62}, {55}, {52, true}, {60}, {62}, {55}}};
    constexpr Melody<9, 3> kTune{{
        {{{0, 71, 2}, {2, 74, 1}, {}}},
        {{{0, 79, 1.5}, {1.5, 78, 0.5}, {2, 76, 1}}},
        {{{0, 76, 2}, {2, 72, 1}, {}}},
        {{{0, 74, 3}, {}, {}}},
        {{{0, 71, 1}, {1, 74, 1}, {2, 79, 1}}},
        {{{0, 83, 2}, {2, 79, 1}, {}}},
        {{{0, 81, 1}, {1, 79, 1}, {2, 76, 1}}},
        {{{0, 78, 2}, {2, 74, 1}, {}}},
        {{{0, 79, 3}, {}, {}}},
    }};
    Part melody = piece.part({"Melody", 0, 0, 110, 64});
    Part bass = piece.part({"Bass", 1, 32, 100, 58});
    Part accompaniment = piece.part({"Accompaniment", 2, 0, 85, 70});
    Part strings = piece.part({"Strings", 3, 48, 70, 64});
    play(melody, kTune, 3, 96);
    for (std::size_t bar = 0; bar < kChords.size(); ++bar) {
        const Chord& c = kChords[bar];
        double at = bar * 3.0;
        bass.note(at, c.root - 24, 1);
        strings.chord(at, c, 3, 45);
        if (bar + 1 == kChords.size()) {
            accompaniment.chord(at, c, 3, 60);
            continue;
        }
        accompaniment.chord(at + 1, c, 0.8, 58);
        accompaniment.chord(at + 2, c, 0.8, 52);
    }
    return piece;
}

} // namespace midigen
