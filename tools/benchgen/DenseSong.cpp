#include "tools/benchgen/DenseSong.h"

#include <array>
#include <cstdint>

namespace benchgen {

namespace {

using midigen::Chord;
using midigen::Composition;
using midigen::Part;

constexpr double kBpm = 112.0;
constexpr int kBars = 48;
constexpr double kBeatsPerBar = 4.0;
constexpr std::uint8_t kDrumChannel = 9;
constexpr std::uint8_t kExpression = 11;
constexpr std::uint8_t kSustainPedal = 64;

// General MIDI drum keys.
constexpr std::uint8_t kKick = 36, kSnare = 38, kClosedHat = 42, kTom = 45, kOpenHat = 46, kCrash = 49, kRide = 51;

constexpr std::array<Chord, 8> kProgression{{
    {57, true}, {53}, {48}, {55}, {50, true}, {53}, {52}, {52},
}};

// Whole-bar chords an octave apart, struck again every bar: each bar's notes release over the next ones.
void pads(Part& pad, Part& choir, int bar, const Chord& chord)
{
    const double beat = bar * kBeatsPerBar;
    pad.chord(beat, chord, kBeatsPerBar, 70);
    pad.note(beat, static_cast<std::uint8_t>(chord.root - 12), kBeatsPerBar, 64);
    choir.chord(beat, Chord{static_cast<std::uint8_t>(chord.root + 12), chord.minor}, 2.0, 60);
    choir.chord(beat + 2.0, Chord{static_cast<std::uint8_t>(chord.root + 12), chord.minor}, 2.0, 56);
    // A swell each bar: the level moves, the notes live on.
    for (int step = 0; step < 8; ++step) {
        pad.controller(beat + step * 0.5, kExpression, static_cast<std::uint8_t>(70 + 6 * (step < 4 ? step : 8 - step)));
    }
}

// The chord's tones on every beat: the same three keys struck four times a bar.
void strings(Part& part, int bar, const Chord& chord)
{
    for (int step = 0; step < 4; ++step) {
        part.chord(bar * kBeatsPerBar + step, chord, 0.9, static_cast<std::uint8_t>(58 + 4 * (step % 2)));
    }
}

// Sixteenth-note arpeggio over two octaves under the pedal, lifted and pressed again every other bar.
void piano(Part& part, int bar, const Chord& chord)
{
    const double beat = bar * kBeatsPerBar;
    if (bar % 2 == 0) {
        part.controller(beat, kSustainPedal, 0);
        part.controller(beat + 0.05, kSustainPedal, 127);
    }
    const std::array<std::uint8_t, 4> tones{chord.root, chord.third(), chord.fifth(),
                                            static_cast<std::uint8_t>(chord.root + 12)};
    for (int step = 0; step < 16; ++step) {
        const int turn = step % 8 < 4 ? step % 4 : 3 - step % 4;
        const std::uint8_t key = static_cast<std::uint8_t>(tones[static_cast<std::size_t>(turn)] + 12 * (step / 8));
        part.note(beat + step * 0.25, key, 0.25, static_cast<std::uint8_t>(72 + 8 * (step % 4 == 0)));
    }
}

void bass(Part& part, int bar, const Chord& chord)
{
    for (int step = 0; step < 8; ++step) {
        const std::uint8_t key = static_cast<std::uint8_t>(chord.root - 24 + (step == 6 ? 7 : 0));
        part.note(bar * kBeatsPerBar + step * 0.5, key, 0.4, 96);
    }
}

void brass(Part& part, int bar, const Chord& chord)
{
    for (double offbeat : {1.5, 3.0}) {
        part.chord(bar * kBeatsPerBar + offbeat, chord, 0.3, 84);
    }
}

void lead(Part& part, int bar, const Chord& chord)
{
    const std::array<std::uint8_t, 4> line{chord.fifth(), chord.third(), chord.root, chord.third()};
    for (int step = 0; step < 4; ++step) {
        part.note(bar * kBeatsPerBar + step, static_cast<std::uint8_t>(line[static_cast<std::size_t>(step)] + 12),
                  0.9, 80);
    }
}

void drums(Part& part, int bar)
{
    const double beat = bar * kBeatsPerBar;
    for (int step = 0; step < 16; ++step) {
        const std::uint8_t hat = step % 8 == 6 ? kOpenHat : kClosedHat;
        part.note(beat + step * 0.25, hat, 0.2, static_cast<std::uint8_t>(step % 2 == 0 ? 90 : 60));
    }
    for (int step = 0; step < 8; ++step) {
        part.note(beat + step * 0.5, kRide, 0.4, 64);
    }
    for (double kick : {0.0, 1.5, 2.0}) {
        part.note(beat + kick, kKick, 0.25, 110);
    }
    for (double snare : {1.0, 3.0}) {
        part.note(beat + snare, kSnare, 0.25, 100);
    }
    if (bar % 4 == 3) {
        for (int step = 0; step < 4; ++step) {
            part.note(beat + step, kTom, 0.25, static_cast<std::uint8_t>(80 + 8 * step));
        }
    }
    if (bar % 4 == 0) {
        part.note(beat, kCrash, 0.5, 100);
    }
}

Composition dense()
{
    Composition song(kBpm);
    // Channel volumes as songs commonly set them, well below the top.
    Part pad = song.part({"Warm Pad", 0, 89, 62, 40});
    Part choir = song.part({"Choir", 1, 52, 55, 88});
    Part string = song.part({"Strings", 2, 48, 66, 64});
    Part keys = song.part({"Piano", 3, 0, 80, 72});
    Part low = song.part({"Bass", 4, 33, 90, 64});
    Part horns = song.part({"Brass", 5, 61, 60, 52});
    Part melody = song.part({"Lead", 6, 81, 55, 76});
    Part kit = song.part({"Drums", kDrumChannel, 0, 84, 64});
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& chord = kProgression[static_cast<std::size_t>(bar) % kProgression.size()];
        pads(pad, choir, bar, chord);
        strings(string, bar, chord);
        piano(keys, bar, chord);
        bass(low, bar, chord);
        drums(kit, bar);
        if (bar >= 8) {
            brass(horns, bar, chord);
        }
        if (bar >= 16 && bar < 40) {
            lead(melody, bar, chord);
        }
    }
    keys.controller(kBars * kBeatsPerBar, kSustainPedal, 0);
    return song;
}

constexpr midigen::DemoFile kDenseSong{"dense.mid", dense};

} // namespace

const midigen::DemoFile& denseSongFile()
{
    return kDenseSong;
}

} // namespace benchgen
