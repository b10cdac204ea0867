#pragma once
// Music sequences: a tempo track and any number of music tracks of time-stamped events.
//
// A `MusicSequence` is a reference-counted handle: the sequence lives while any holder keeps it. A `MusicTrack` is a
// non-owning handle (its sequence and a track identifier); it turns stale when its track is disposed, when a file is
// loaded into the sequence, or when the sequence is gone. Every call on a null, stale or foreign handle returns an
// error status (kAudio_ParamError unless stated otherwise) and changes nothing.
//
// Threads: none of these calls is thread-safe. A sequence, its tracks and its iterators are used from one thread at
// a time. All calls may allocate: never call them on the render thread.

#include <cstdint>
#include <memory>

#include "platform/musicsequence/MusicSequenceTypes.h"

namespace musicsequence {
class SequenceData;
}

using MusicSequence = std::shared_ptr<musicsequence::SequenceData>;

struct MusicTrack {
  std::weak_ptr<musicsequence::SequenceData> sequence;
  std::uint32_t trackId = 0;
};

// A new sequence: an empty tempo track with a time resolution of 480 ticks per beat, and no music tracks.
OSStatus NewMusicSequence(MusicSequence* outSequence);

// Appends an empty music track.
OSStatus MusicSequenceNewTrack(const MusicSequence& sequence, MusicTrack* outTrack);

// Removes a music track; the tracks after it move down by one index. A track of another sequence gives
// kAudioToolboxErr_TrackNotFound; the tempo track cannot be disposed.
OSStatus MusicSequenceDisposeTrack(const MusicSequence& sequence, const MusicTrack& track);

// The number of music tracks (the tempo track is not counted).
OSStatus MusicSequenceGetTrackCount(const MusicSequence& sequence, std::uint32_t* outNumberOfTracks);

// The music track at an index; an index at or beyond the count gives kAudioToolboxErr_TrackIndexError.
OSStatus MusicSequenceGetIndTrack(const MusicSequence& sequence, std::uint32_t trackIndex, MusicTrack* outTrack);

// The index of a music track; the tempo track or a track of another sequence gives kAudioToolboxErr_TrackNotFound.
OSStatus MusicSequenceGetTrackIndex(const MusicSequence& sequence, const MusicTrack& track,
                                    std::uint32_t* outTrackIndex);

OSStatus MusicSequenceGetTempoTrack(const MusicSequence& sequence, MusicTrack* outTrack);
