#include "platform/musicsequence/SequenceData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace musicsequence {

namespace {
// Records are padded so that reading any record struct in full (`sizeof`) stays inside the buffer.
constexpr std::size_t kMinimumRecordBytes = 16;
}  // namespace

SequenceData::SequenceData() { tempoTrack.isTempoTrack = true; }

TrackData& SequenceData::addTrack() {
  auto track = std::make_unique<TrackData>();
  track->id = nextTrackId_++;
  tracks.push_back(std::move(track));
  return *tracks.back();
}

TrackData* SequenceData::findTrack(std::uint32_t id) {
  if (id == tempoTrack.id) return &tempoTrack;
  for (auto& track : tracks) {
    if (track->id == id) return track.get();
  }
  return nullptr;
}

void SequenceData::removeContent() {
  tracks.clear();
  tempoTrack.events.clear();
  ++tempoTrack.generation;
}

ResolvedTrack resolve(const MusicTrack& track) {
  ResolvedTrack resolved{track.sequence.lock(), nullptr};
  if (resolved.sequence) resolved.track = resolved.sequence->findTrack(track.trackId);
  return resolved;
}

MusicTrack handleFor(const std::shared_ptr<SequenceData>& sequence, const TrackData& track) {
  return MusicTrack{sequence, track.id};
}

bool isValidTime(MusicTimeStamp time) { return std::isfinite(time) && time >= 0.0; }

StoredEvent makeEvent(MusicTimeStamp time, MusicEventType type, const void* record, std::uint32_t size) {
  StoredEvent event;
  event.time = time;
  event.type = type;
  event.size = size;
  event.record.assign(std::max<std::size_t>(size, kMinimumRecordBytes), 0);
  if (size > 0) std::memcpy(event.record.data(), record, size);
  return event;
}

void insertStable(TrackData& track, StoredEvent event) {
  auto at = std::upper_bound(track.events.begin(), track.events.end(), event.time,
                             [](MusicTimeStamp time, const StoredEvent& e) { return time < e.time; });
  track.events.insert(at, std::move(event));
  ++track.generation;
}

MusicTimeStamp trackLength(const TrackData& track) {
  MusicTimeStamp end = track.userLength;
  for (const StoredEvent& event : track.events) {
    MusicTimeStamp eventEnd = event.time;
    if (event.type == kMusicEventType_MIDINoteMessage) {
      MIDINoteMessage note;
      std::memcpy(&note, event.record.data(), sizeof note);
      eventEnd += note.duration;
    }
    end = std::max(end, eventEnd);
  }
  return end;
}

}  // namespace musicsequence
