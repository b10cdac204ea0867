// The drum kits of the kit programs (Standard, Room, Power, Electronic, TR-808, Jazz, Brush, Orchestra, SFX):
// synthesised kick, snare, toms, hats, cymbals and hand percussion on the General MIDI drum keys 35 to 81. Each kit
// has kick, snare and toms of its own character, and its own room length and cymbal colour; the effects kit plays
// sweeps and noises. The open, pedal and closed hi-hats share an exclusive class, so each cuts the others off, as do
// the two whistles and the two triangles.
//
// Thread contract: pure functions; any thread.
#pragma once

#include "tools/bankgen/ProgramSet.h"

namespace bankgen {

// Appends the kits' samples to set.samples and their instruments, one region per key, to set.kits.
void addDrumKits(ProgramSet& set, const Voicing& voicing);

} // namespace bankgen
