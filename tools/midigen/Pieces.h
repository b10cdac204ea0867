// The demo pieces, each composed into a sequence: four for the selection folder, three test pieces and the default
// piece.
//
// Thread contract: pure functions (each builds its own sequence); never on the render thread.
#pragma once

#include "tools/midigen/Composition.h"

namespace midigen {

// Selection: C major, piano melody over bass, strings and drums; speeds up at bar 5.
Composition morningWalk();
// Selection: F major, electric piano, vibraphone arpeggios, fretless bass and a light kit; slows at bar 7.
Composition harbourLights();
// Selection: A minor, saw lead, synth bass, pad and a dance beat; speeds up at bar 9.
Composition copperEngine();
// Selection: D major, nylon guitar arpeggios, flute and cello; slows down into the last bar.
Composition slowRiver();
// Default: a G major waltz in 3/4 for piano, bass and strings.
Composition gardenWaltz();

// Test: every General MIDI program in turn on channel 1.
Composition programTour();
// Test: every General MIDI drum key in turn on channel 10.
Composition drumKeys();
// Test: each of the sixteen channels with its own program and pan in turn, then all together.
Composition allChannels();

} // namespace midigen
