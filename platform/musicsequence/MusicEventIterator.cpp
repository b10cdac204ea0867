#include "platform/musicsequence/MusicEventIterator.h"

#include "platform/musicsequence/SequenceData.h"

namespace musicsequence {

struct IteratorData {
  MusicTrack track;
  std::size_t position = 0;
  std::uint64_t generation = 0;
};

}  // namespace musicsequence

namespace {

using musicsequence::IteratorData;
using musicsequence::TrackData;

// The iterator's track while the iterator is valid, else null.
TrackData* trackOf(const MusicEventIterator& iterator, musicsequence::ResolvedTrack& resolved) {
  if (!iterator) return nullptr;
  resolved = musicsequence::resolve(iterator->track);
  if (resolved.track == nullptr || resolved.track->generation != iterator->generation) return nullptr;
  return resolved.track;
}

}  // namespace

OSStatus NewMusicEventIterator(const MusicTrack& track, MusicEventIterator* outIterator) {
  musicsequence::ResolvedTrack resolved = musicsequence::resolve(track);
  if (resolved.track == nullptr || outIterator == nullptr) return kAudio_ParamError;
  *outIterator = std::make_shared<IteratorData>(IteratorData{track, 0, resolved.track->generation});
  return noErr;
}

OSStatus DisposeMusicEventIterator(MusicEventIterator& iterator) {
  if (!iterator) return kAudio_ParamError;
  iterator.reset();
  return noErr;
}

OSStatus MusicEventIteratorHasCurrentEvent(const MusicEventIterator& iterator, bool* outHasCurrentEvent) {
  musicsequence::ResolvedTrack resolved;
  TrackData* track = trackOf(iterator, resolved);
  if (track == nullptr || outHasCurrentEvent == nullptr) return kAudio_ParamError;
  *outHasCurrentEvent = iterator->position < track->events.size();
  return noErr;
}

OSStatus MusicEventIteratorHasNextEvent(const MusicEventIterator& iterator, bool* outHasNextEvent) {
  musicsequence::ResolvedTrack resolved;
  TrackData* track = trackOf(iterator, resolved);
  if (track == nullptr || outHasNextEvent == nullptr) return kAudio_ParamError;
  *outHasNextEvent = iterator->position + 1 < track->events.size();
  return noErr;
}

OSStatus MusicEventIteratorNextEvent(const MusicEventIterator& iterator) {
  musicsequence::ResolvedTrack resolved;
  TrackData* track = trackOf(iterator, resolved);
  if (track == nullptr) return kAudio_ParamError;
  if (iterator->position >= track->events.size()) return kAudioToolboxErr_EndOfTrack;
  ++iterator->position;
  return noErr;
}

OSStatus MusicEventIteratorGetEventInfo(const MusicEventIterator& iterator, MusicTimeStamp* outTimeStamp,
                                        MusicEventType* outEventType, const void** outEventData,
                                        std::uint32_t* outEventDataSize) {
  musicsequence::ResolvedTrack resolved;
  TrackData* track = trackOf(iterator, resolved);
  if (track == nullptr) return kAudio_ParamError;
  if (iterator->position >= track->events.size()) return kAudioToolboxErr_EndOfTrack;
  const musicsequence::StoredEvent& event = track->events[iterator->position];
  if (outTimeStamp != nullptr) *outTimeStamp = event.time;
  if (outEventType != nullptr) *outEventType = event.type;
  if (outEventData != nullptr) *outEventData = event.record.data();
  if (outEventDataSize != nullptr) *outEventDataSize = event.size;
  return noErr;
}

OSStatus MusicEventIteratorDeleteEvent(const MusicEventIterator& iterator) {
  musicsequence::ResolvedTrack resolved;
  TrackData* track = trackOf(iterator, resolved);
  if (track == nullptr) return kAudio_ParamError;
  if (iterator->position >= track->events.size()) return kAudioToolboxErr_EndOfTrack;
  track->events.erase(track->events.begin() + static_cast<std::ptrdiff_t>(iterator->position));
  iterator->generation = ++track->generation;
  return noErr;
}
