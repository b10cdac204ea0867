#include <cmath>
#include <cstring>

#include "platform/musicsequence/MusicTrack.h"
#include "platform/musicsequence/SequenceData.h"

namespace {

using musicsequence::ResolvedTrack;
using musicsequence::TrackData;

std::uint32_t propertySize(MusicSequenceTrackProperty propertyId) {
  switch (propertyId) {
    case kSequenceTrackProperty_LoopInfo: return sizeof(MusicTrackLoopInfo);
    case kSequenceTrackProperty_OffsetTime: return sizeof(MusicTimeStamp);
    case kSequenceTrackProperty_MuteStatus: return sizeof(bool);
    case kSequenceTrackProperty_SoloStatus: return sizeof(bool);
    case kSequenceTrackProperty_AutomatedParameters: return sizeof(std::uint32_t);
    case kSequenceTrackProperty_TrackLength: return sizeof(MusicTimeStamp);
    case kSequenceTrackProperty_TimeResolution: return sizeof(std::int16_t);
    default: return 0;
  }
}

template <typename T>
void store(void* out, const T& value) {
  std::memcpy(out, &value, sizeof value);
}

template <typename T>
T load(const void* data) {
  T value;
  std::memcpy(&value, data, sizeof value);
  return value;
}

}  // namespace

OSStatus MusicTrackGetProperty(const MusicTrack& track, MusicSequenceTrackProperty propertyId, void* outData,
                               std::uint32_t* ioLength) {
  ResolvedTrack resolved = musicsequence::resolve(track);
  const std::uint32_t size = propertySize(propertyId);
  if (resolved.track == nullptr || size == 0 || outData == nullptr || ioLength == nullptr || *ioLength < size) {
    return kAudio_ParamError;
  }
  const TrackData& t = *resolved.track;
  switch (propertyId) {
    case kSequenceTrackProperty_LoopInfo: store(outData, t.loopInfo); break;
    case kSequenceTrackProperty_OffsetTime: store(outData, t.offsetTime); break;
    case kSequenceTrackProperty_MuteStatus: store(outData, t.muted); break;
    case kSequenceTrackProperty_SoloStatus: store(outData, t.soloed); break;
    case kSequenceTrackProperty_AutomatedParameters: store(outData, t.automatedParameters); break;
    case kSequenceTrackProperty_TrackLength: store(outData, musicsequence::trackLength(t)); break;
    case kSequenceTrackProperty_TimeResolution:
      if (!t.isTempoTrack) return kAudio_ParamError;
      store(outData, resolved.sequence->timeResolution);
      break;
  }
  *ioLength = size;
  return noErr;
}

OSStatus MusicTrackSetProperty(const MusicTrack& track, MusicSequenceTrackProperty propertyId, const void* data,
                               std::uint32_t length) {
  ResolvedTrack resolved = musicsequence::resolve(track);
  const std::uint32_t size = propertySize(propertyId);
  if (resolved.track == nullptr || size == 0 || data == nullptr || length < size) return kAudio_ParamError;
  TrackData& t = *resolved.track;
  switch (propertyId) {
    case kSequenceTrackProperty_LoopInfo: {
      const auto loop = load<MusicTrackLoopInfo>(data);
      if (!musicsequence::isValidTime(loop.loopDuration) || loop.numberOfLoops < 0) return kAudio_ParamError;
      t.loopInfo = loop;
      break;
    }
    case kSequenceTrackProperty_OffsetTime: {
      const auto offset = load<MusicTimeStamp>(data);
      if (!std::isfinite(offset)) return kAudio_ParamError;
      t.offsetTime = offset;
      break;
    }
    case kSequenceTrackProperty_MuteStatus: t.muted = load<std::uint8_t>(data) != 0; break;
    case kSequenceTrackProperty_SoloStatus: t.soloed = load<std::uint8_t>(data) != 0; break;
    case kSequenceTrackProperty_AutomatedParameters: t.automatedParameters = load<std::uint32_t>(data); break;
    case kSequenceTrackProperty_TrackLength: {
      const auto trackLength = load<MusicTimeStamp>(data);
      if (!musicsequence::isValidTime(trackLength)) return kAudio_ParamError;
      t.userLength = trackLength;
      break;
    }
    case kSequenceTrackProperty_TimeResolution: {
      const auto resolution = load<std::int16_t>(data);
      if (!t.isTempoTrack || resolution <= 0) return kAudio_ParamError;
      resolved.sequence->timeResolution = resolution;
      break;
    }
  }
  return noErr;
}
