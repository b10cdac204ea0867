// The dense bench song: eight parts over a repeating progression, with long pads and choir, string tremolo and
// piano arpeggios under the sustain pedal that strike the same keys again and again, a bass, brass stabs and a
// drum groove with 16th-note hi-hats and ringing cymbals. On the bench bank 60 to 130 voices sound at once, most of
// them in their release, as in published songs.
//
// Thread contract: any thread except the render thread.
#pragma once

#include "tools/midigen/DemoFiles.h"

namespace benchgen {

// "dense.mid", for midigen::writeDemoFile.
const midigen::DemoFile& denseSongFile();

} // namespace benchgen
