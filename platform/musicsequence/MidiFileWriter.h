#pragma once
// Writes a sequence as a standard MIDI file of format 1: the tempo track first, then every music track in index
// order (empty ones too), each closed by exactly one end-of-track.
//
// Ticks are beats times the resolution, rounded to the nearest tick; a note's off tick is its on tick plus its
// rounded duration. At equal ticks a track writes note-offs before its other events. System messages (status F1 to
// FF) are written as F7 escapes; user events, and meta events of type end-of-track, are not written.

#include <cstdint>
#include <vector>

#include "platform/musicsequence/SequenceData.h"

namespace musicsequence {

// `resolution` 0 takes the tempo track's time resolution. kAudio_ParamError for a resolution below 0 or a time
// beyond the file format's range.
OSStatus writeStandardMidiFile(const SequenceData& sequence, std::int16_t resolution, std::vector<std::uint8_t>& file);

}  // namespace musicsequence
