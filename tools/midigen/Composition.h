// Writing music into a sequence by beats: parts (one track on one channel with its name, program, volume and pan),
// notes, chords, tempo changes and the time signature. Every call adds events through the music-sequence API; a
// failing call is kept as the first error of the composition.
//
// Thread contract: one composition on one thread; never on the render thread.
#pragma once

#include "platform/musicsequence/MusicSequence.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace midigen {

struct PartSetup {
    std::string_view name;
    std::uint8_t channel;
    std::uint8_t program;
    std::uint8_t volume = 100;
    std::uint8_t pan = 64;
};

// A triad: root key and whether its third is minor.
struct Chord {
    std::uint8_t root;
    bool minor = false;

    std::uint8_t third() const { return static_cast<std::uint8_t>(root + (minor ? 3 : 4)); }
    std::uint8_t fifth() const { return static_cast<std::uint8_t>(root + 7); }
};

class Composition;

class Part {
public:
    void note(double beat, std::uint8_t key, double beats, std::uint8_t velocity = 90);
    void chord(double beat, const Chord& chord, double beats, std::uint8_t velocity = 70);
    void controller(double beat, std::uint8_t number, std::uint8_t value);
    void program(double beat, std::uint8_t program);

private:
    friend class Composition;
    Part(Composition& composition, MusicTrack track, std::uint8_t channel)
        : composition_(composition), track_(track), channel_(channel)
    {
    }
    Composition& composition_;
    MusicTrack track_;
    std::uint8_t channel_;
};

class Composition {
public:
    // A sequence with its tempo at beat 0 and a time signature of beatsPerBar quarter notes.
    Composition(double bpm, std::uint8_t beatsPerBar = 4);

    // A new track: its name, then bank select 0, the program, volume and pan at beat 0.
    Part part(const PartSetup& setup);
    void tempo(double beat, double bpm);

    // noErr, or the first error any call met.
    OSStatus status() const { return status_; }
    const MusicSequence& sequence() const { return sequence_; }

private:
    friend class Part;
    void check(OSStatus status);
    void meta(const MusicTrack& track, double beat, std::uint8_t type, std::span<const std::uint8_t> data);

    MusicSequence sequence_;
    OSStatus status_ = noErr;
};

} // namespace midigen
