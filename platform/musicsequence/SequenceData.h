#pragma once
// The storage behind the handles: tracks of events, each event kept as its platform record bytes.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/musicsequence/MusicSequence.h"

namespace musicsequence {

// The largest payload of one record and the largest file the reader takes.
constexpr std::uint32_t kMaxPayloadBytes = 64u << 20;

struct StoredEvent {
  MusicTimeStamp time = 0.0;
  MusicEventType type = kMusicEventType_NULL;
  std::uint32_t size = 0;             // the record's size in bytes as the iterator reports it
  std::vector<std::uint8_t> record;   // at least `size` bytes, zero-padded to the record's declared struct size
};

struct TrackData {
  std::uint32_t id = 0;
  bool isTempoTrack = false;
  std::vector<StoredEvent> events;  // ordered by time; equal times keep insertion order
  MusicTrackLoopInfo loopInfo{0.0, 0};
  MusicTimeStamp offsetTime = 0.0;
  bool muted = false;
  bool soloed = false;
  std::uint32_t automatedParameters = 0;
  MusicTimeStamp userLength = 0.0;
  std::uint64_t generation = 0;  // changes on every edit; iterators made before an edit turn stale
};

class SequenceData {
 public:
  SequenceData();

  TrackData tempoTrack;
  std::vector<std::unique_ptr<TrackData>> tracks;
  std::int16_t timeResolution = 480;

  TrackData& addTrack();
  TrackData* findTrack(std::uint32_t id);
  // Drops every music track and the tempo track's events (handles to the dropped tracks turn stale).
  void removeContent();

 private:
  std::uint32_t nextTrackId_ = 1;  // 0 is the tempo track
};

struct ResolvedTrack {
  std::shared_ptr<SequenceData> sequence;  // keeps the sequence alive for the call
  TrackData* track = nullptr;
};

// The track behind a handle, or a null track when the handle is null or stale.
ResolvedTrack resolve(const MusicTrack& track);
MusicTrack handleFor(const std::shared_ptr<SequenceData>& sequence, const TrackData& track);

bool isValidTime(MusicTimeStamp time);
StoredEvent makeEvent(MusicTimeStamp time, MusicEventType type, const void* record, std::uint32_t size);
// Inserts after every event at the same or an earlier time.
void insertStable(TrackData& track, StoredEvent event);
// The end of the last event (start plus duration for notes) or the length set by the user, whichever is later.
MusicTimeStamp trackLength(const TrackData& track);

}  // namespace musicsequence
