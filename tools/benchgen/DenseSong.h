// The dense bench song: eight parts over a repeating progression at channel volumes well below the top, with long
// pads and choir, strings struck on every beat and piano arpeggios under the sustain pedal that strike the same keys
// again and again, a bass, brass stabs and a drum groove with 16th-note hi-hats and ringing cymbals. On the bench
// bank about 105 voices sound on average, most of them in their release, as in published songs.
//
// Thread contract: any thread except the render thread.
#pragma once

#include "tools/midigen/DemoFiles.h"

namespace benchgen {

// "dense.mid", for midigen::writeDemoFile.
const midigen::DemoFile& denseSongFile();

} // namespace benchgen
