#pragma once
// Reads a standard MIDI file (format 0, 1 or 2) into tracks of stored events.
//
// Notes become one note event with its duration (a note-off closes the oldest open note of its channel and key; notes
// still open end with their file track). Tempo, time signature, key signature and SMPTE offset go to the tempo track;
// end-of-track makes no event. Channels-to-tracks gives one track per MIDI channel used, in channel order, and then
// one track for system-exclusive and meta events when there are any. Preserve-tracks gives one track per file track;
// in a format 1 file a first track holding only tempo-map events gives none.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/musicsequence/SequenceData.h"

namespace musicsequence {

struct ParsedSong {
  std::int16_t timeResolution = 480;
  std::vector<StoredEvent> tempoEvents;
  std::vector<std::vector<StoredEvent>> tracks;
};

// kAudioFileInvalidFileError for anything that is not a well-formed standard MIDI file of at most kMaxPayloadBytes.
OSStatus readStandardMidiFile(std::span<const std::uint8_t> bytes, MusicSequenceLoadFlags flags, ParsedSong& song);

}  // namespace musicsequence
