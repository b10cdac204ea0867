#include <cmath>
#include <cstring>
#include <vector>

#include "platform/musicsequence/MusicTrack.h"
#include "platform/musicsequence/SequenceData.h"

namespace {

using musicsequence::StoredEvent;

bool acceptsEventType(const musicsequence::TrackData& track, MusicEventType type) {
  if (track.isTempoTrack) return type == kMusicEventType_ExtendedTempo || type == kMusicEventType_Meta;
  return type != kMusicEventType_ExtendedTempo;
}

OSStatus addEvent(const MusicTrack& track, MusicTimeStamp time, MusicEventType type, const void* record,
                  std::uint32_t size) {
  musicsequence::ResolvedTrack resolved = musicsequence::resolve(track);
  if (resolved.track == nullptr || !musicsequence::isValidTime(time)) return kAudio_ParamError;
  if (!acceptsEventType(*resolved.track, type)) return kAudioToolboxErr_InvalidEventType;
  musicsequence::insertStable(*resolved.track, musicsequence::makeEvent(time, type, record, size));
  return noErr;
}

// A record whose payload follows a head of `headBytes` bytes.
OSStatus addVariableEvent(const MusicTrack& track, MusicTimeStamp time, MusicEventType type, const void* record,
                          std::size_t headBytes, std::uint32_t payloadLength) {
  if (payloadLength > musicsequence::kMaxPayloadBytes) return kAudio_ParamError;
  return addEvent(track, time, type, record, static_cast<std::uint32_t>(headBytes + payloadLength));
}

}  // namespace

OSStatus MusicTrackNewMIDINoteEvent(const MusicTrack& track, MusicTimeStamp time, const MIDINoteMessage* message) {
  if (message == nullptr || !std::isfinite(message->duration) || message->duration < 0.0f) return kAudio_ParamError;
  return addEvent(track, time, kMusicEventType_MIDINoteMessage, message, sizeof *message);
}

OSStatus MusicTrackNewMIDIChannelEvent(const MusicTrack& track, MusicTimeStamp time,
                                       const MIDIChannelMessage* message) {
  if (message == nullptr) return kAudio_ParamError;
  return addEvent(track, time, kMusicEventType_MIDIChannelMessage, message, sizeof *message);
}

OSStatus MusicTrackNewMIDIRawDataEvent(const MusicTrack& track, MusicTimeStamp time, const MIDIRawData* rawData) {
  if (rawData == nullptr) return kAudio_ParamError;
  return addVariableEvent(track, time, kMusicEventType_MIDIRawData, rawData, offsetof(MIDIRawData, data),
                          rawData->length);
}

OSStatus MusicTrackNewMetaEvent(const MusicTrack& track, MusicTimeStamp time, const MIDIMetaEvent* metaEvent) {
  if (metaEvent == nullptr) return kAudio_ParamError;
  return addVariableEvent(track, time, kMusicEventType_Meta, metaEvent, offsetof(MIDIMetaEvent, data),
                          metaEvent->dataLength);
}

OSStatus MusicTrackNewUserEvent(const MusicTrack& track, MusicTimeStamp time, const MusicEventUserData* userData) {
  if (userData == nullptr) return kAudio_ParamError;
  return addVariableEvent(track, time, kMusicEventType_User, userData, offsetof(MusicEventUserData, data),
                          userData->length);
}

OSStatus MusicTrackNewExtendedTempoEvent(const MusicTrack& track, MusicTimeStamp time, double bpm) {
  if (!std::isfinite(bpm) || bpm <= 0.0) return kAudio_ParamError;
  const ExtendedTempoEvent tempo{bpm};
  return addEvent(track, time, kMusicEventType_ExtendedTempo, &tempo, sizeof tempo);
}
