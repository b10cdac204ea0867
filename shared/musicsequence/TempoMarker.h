#pragma once
// The internal tempo marker: a sample-timed record that carries a tempo change of the song to the render-time file
// player. It is never sent out as MIDI.
//
// Layout: type 9, nine data bytes FD 51 t FF 51 03 b1 b2 b3, cable 0. t is the tempo truncated when 0 < tempo < 255,
// else 120; b1 b2 b3 are the three high bytes, most significant first, of the 32-bit trunc(tempo * 500000) (not the
// microseconds per quarter note of a file's tempo event: 120 beats per minute gives 03 93 87). The record's duration
// holds the tempo in beats per minute; beats stays 0.
//
// Threads: any thread except the render thread (allocates).

#include <cstdint>
#include <memory>

#include "shared/events/AUMIDIEventEx.h"

// Tempo markers are numbered from this id on.
inline constexpr std::int64_t kFirstTempoMarkerId = 1000000;

// True when tempo * 500000 fits an unsigned 32-bit integer (0 up to below 8589.934592 beats per minute).
bool tempoMarkerCanCarry(double tempo);
// The marker of tempo (beats per minute) at sampleTime with the id. The tempo must pass tempoMarkerCanCarry.
std::shared_ptr<AUMIDIEventEx> makeTempoMarker(double tempo, AUEventSampleTime sampleTime, std::int64_t id);
