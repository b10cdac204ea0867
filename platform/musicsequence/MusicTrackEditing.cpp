#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/musicsequence/MusicTrack.h"
#include "platform/musicsequence/SequenceData.h"

namespace {

using musicsequence::ResolvedTrack;
using musicsequence::StoredEvent;
using musicsequence::TrackData;

bool isValidRange(MusicTimeStamp start, MusicTimeStamp end) {
  return musicsequence::isValidTime(start) && musicsequence::isValidTime(end) && start < end;
}

bool inRange(const StoredEvent& event, MusicTimeStamp start, MusicTimeStamp end) {
  return event.time >= start && event.time < end;
}

// Takes the events in [start, end) out of the track, in track order.
std::vector<StoredEvent> extract(TrackData& track, MusicTimeStamp start, MusicTimeStamp end) {
  std::vector<StoredEvent> taken;
  std::vector<StoredEvent> kept;
  for (StoredEvent& event : track.events) (inRange(event, start, end) ? taken : kept).push_back(std::move(event));
  track.events = std::move(kept);
  ++track.generation;
  return taken;
}

void shiftFrom(TrackData& track, MusicTimeStamp from, MusicTimeStamp amount) {
  for (StoredEvent& event : track.events) {
    if (event.time >= from) event.time = std::max(0.0, event.time + amount);
  }
  ++track.generation;
}

OSStatus copyRange(const MusicTrack& sourceTrack, MusicTimeStamp start, MusicTimeStamp end,
                   const MusicTrack& destTrack, MusicTimeStamp destTime, bool insert) {
  ResolvedTrack source = musicsequence::resolve(sourceTrack);
  ResolvedTrack dest = musicsequence::resolve(destTrack);
  if (source.track == nullptr || dest.track == nullptr || !isValidRange(start, end) ||
      !musicsequence::isValidTime(destTime)) {
    return kAudio_ParamError;
  }
  if (source.track->isTempoTrack != dest.track->isTempoTrack) return kAudioToolboxErr_IllegalTrackDestination;
  std::vector<StoredEvent> copies;
  for (const StoredEvent& event : source.track->events) {
    if (inRange(event, start, end)) copies.push_back(event);
  }
  if (insert) {
    shiftFrom(*dest.track, destTime, end - start);
    if (dest.track->userLength > destTime) dest.track->userLength += end - start;
  }
  for (StoredEvent& copy : copies) {
    copy.time = copy.time - start + destTime;
    musicsequence::insertStable(*dest.track, std::move(copy));
  }
  return noErr;
}

}  // namespace

OSStatus MusicTrackClear(const MusicTrack& track, MusicTimeStamp startTime, MusicTimeStamp endTime) {
  ResolvedTrack resolved = musicsequence::resolve(track);
  if (resolved.track == nullptr || !isValidRange(startTime, endTime)) return kAudio_ParamError;
  extract(*resolved.track, startTime, endTime);
  return noErr;
}

OSStatus MusicTrackCut(const MusicTrack& track, MusicTimeStamp startTime, MusicTimeStamp endTime) {
  ResolvedTrack resolved = musicsequence::resolve(track);
  if (resolved.track == nullptr || !isValidRange(startTime, endTime)) return kAudio_ParamError;
  TrackData& t = *resolved.track;
  extract(t, startTime, endTime);
  shiftFrom(t, endTime, startTime - endTime);
  if (t.userLength > startTime) t.userLength = std::max(startTime, t.userLength - (endTime - startTime));
  return noErr;
}

OSStatus MusicTrackMoveEvents(const MusicTrack& track, MusicTimeStamp startTime, MusicTimeStamp endTime,
                              MusicTimeStamp moveTime) {
  ResolvedTrack resolved = musicsequence::resolve(track);
  if (resolved.track == nullptr || !isValidRange(startTime, endTime) || !std::isfinite(moveTime)) {
    return kAudio_ParamError;
  }
  for (StoredEvent& event : extract(*resolved.track, startTime, endTime)) {
    event.time = std::max(0.0, event.time + moveTime);
    musicsequence::insertStable(*resolved.track, std::move(event));
  }
  return noErr;
}

OSStatus MusicTrackMerge(const MusicTrack& sourceTrack, MusicTimeStamp sourceStartTime, MusicTimeStamp sourceEndTime,
                         const MusicTrack& destTrack, MusicTimeStamp destInsertTime) {
  return copyRange(sourceTrack, sourceStartTime, sourceEndTime, destTrack, destInsertTime, false);
}

OSStatus MusicTrackCopyInsert(const MusicTrack& sourceTrack, MusicTimeStamp sourceStartTime,
                              MusicTimeStamp sourceEndTime, const MusicTrack& destTrack,
                              MusicTimeStamp destInsertTime) {
  return copyRange(sourceTrack, sourceStartTime, sourceEndTime, destTrack, destInsertTime, true);
}
