#include "platform/musicsequence/MusicSequence.h"

#include "platform/musicsequence/SequenceData.h"

using musicsequence::SequenceData;
using musicsequence::TrackData;

OSStatus NewMusicSequence(MusicSequence* outSequence) {
  if (outSequence == nullptr) return kAudio_ParamError;
  *outSequence = std::make_shared<SequenceData>();
  return noErr;
}

OSStatus MusicSequenceNewTrack(const MusicSequence& sequence, MusicTrack* outTrack) {
  if (!sequence || outTrack == nullptr) return kAudio_ParamError;
  *outTrack = musicsequence::handleFor(sequence, sequence->addTrack());
  return noErr;
}

OSStatus MusicSequenceDisposeTrack(const MusicSequence& sequence, const MusicTrack& track) {
  if (!sequence) return kAudio_ParamError;
  musicsequence::ResolvedTrack resolved = musicsequence::resolve(track);
  if (resolved.sequence != sequence || resolved.track == nullptr) return kAudioToolboxErr_TrackNotFound;
  if (resolved.track->isTempoTrack) return kAudio_ParamError;
  std::erase_if(sequence->tracks, [&](const std::unique_ptr<TrackData>& t) { return t.get() == resolved.track; });
  return noErr;
}

OSStatus MusicSequenceGetTrackCount(const MusicSequence& sequence, std::uint32_t* outNumberOfTracks) {
  if (!sequence || outNumberOfTracks == nullptr) return kAudio_ParamError;
  *outNumberOfTracks = static_cast<std::uint32_t>(sequence->tracks.size());
  return noErr;
}

OSStatus MusicSequenceGetIndTrack(const MusicSequence& sequence, std::uint32_t trackIndex, MusicTrack* outTrack) {
  if (!sequence || outTrack == nullptr) return kAudio_ParamError;
  if (trackIndex >= sequence->tracks.size()) return kAudioToolboxErr_TrackIndexError;
  *outTrack = musicsequence::handleFor(sequence, *sequence->tracks[trackIndex]);
  return noErr;
}

OSStatus MusicSequenceGetTrackIndex(const MusicSequence& sequence, const MusicTrack& track,
                                    std::uint32_t* outTrackIndex) {
  if (!sequence || outTrackIndex == nullptr) return kAudio_ParamError;
  musicsequence::ResolvedTrack resolved = musicsequence::resolve(track);
  if (resolved.sequence != sequence) return kAudioToolboxErr_TrackNotFound;
  for (std::size_t i = 0; i < sequence->tracks.size(); ++i) {
    if (sequence->tracks[i].get() == resolved.track) {
      *outTrackIndex = static_cast<std::uint32_t>(i);
      return noErr;
    }
  }
  return kAudioToolboxErr_TrackNotFound;
}

OSStatus MusicSequenceGetTempoTrack(const MusicSequence& sequence, MusicTrack* outTrack) {
  if (!sequence || outTrack == nullptr) return kAudio_ParamError;
  *outTrack = musicsequence::handleFor(sequence, sequence->tempoTrack);
  return noErr;
}
