// Writing event nodes, tracks, patterns and whole song trees into the music sequence.

#include <algorithm>
#include <string>

#include "platform/musicsequence/MusicTrack.h"
#include "shared/globals/Print.h"
#include "shared/midievents/MIDIConstants.h"
#include "shared/musicsequence/MIDISequence.h"
#include "shared/musicsequence/MIDISequenceWriteRecords.h"

namespace {

constexpr const char* kNoTargetSequence = "MIDISequence::Fehler: Die Ziel Sequenz ist undefiniert.";
constexpr const char* kNoTargetTrack = "MIDISequence::Fehler: Die Ziel Spur ist undefiniert.";
constexpr const char* kNoSourceTrack = "MIDISequence::Fehler: Die Quell Spur ist undefiniert.";
constexpr const char* kNoSourcePattern = "MIDISequence::Fehler: Das Quell Pattern ist undefiniert.";
constexpr const char* kUnassigned = "MIDISequence::Warnung: Ein Element konnte der Sequenz nicht zugeordnet werden.";
constexpr const char* kInfoDone = "MIDISequence::Info: .";
constexpr std::uint8_t kLastMIDIChannel = 0x0F;

bool isTrack(const MusicTrack& track) { return !track.sequence.expired(); }

// Calls writer with the event as an Event; false when the event is no Event.
template <class Event>
bool writeAs(MIDISequence& sequence, const std::shared_ptr<EventNode>& event,
             void (MIDISequence::*writer)(const std::shared_ptr<Event>&)) {
  const std::shared_ptr<Event> typed = eventCast<Event>(event);
  if (!typed) return false;
  (sequence.*writer)(typed);
  return true;
}

// Writes a channel, system or system-exclusive node by its status kind and logs the line that follows the write.
void writeByStatus(MIDISequence& sequence, const std::shared_ptr<EventNode>& event) {
  bool written = false;
  const char* info = kInfoDone;
  switch (event->statusMask) {
    case STATUS_NOTEON:
      written = writeAs(sequence, event, &MIDISequence::createNoteMessage);
      info = "MIDISequence::Info: Eine Note wurde hinzugefügt.";
      break;
    case STATUS_PPRESSURE:
      written = writeAs(sequence, event, &MIDISequence::createPolyphonicPressureMessage);
      info = "MIDISequence::Info: Es wurde ein Polyphonic Aftertouch Event hinzugefügt.";
      break;
    case STATUS_CONTROLLER: written = writeAs(sequence, event, &MIDISequence::createControllerMessage); break;
    case STATUS_PROGRAM: written = writeAs(sequence, event, &MIDISequence::createProgramChangeMessage); break;
    case STATUS_CPRESSURE: written = writeAs(sequence, event, &MIDISequence::createAfterTouchMessage); break;
    case STATUS_PITCHBEND: written = writeAs(sequence, event, &MIDISequence::createPitchWheelMessage); break;
    case STATUS_SYSEX: written = writeAs(sequence, event, &MIDISequence::createSysExMessage); break;
    case STATUS_TIMECODE: written = writeAs(sequence, event, &MIDISequence::createSystemTimeCodeMessage); break;
    case STATUS_SONGPOSITION:
      written = writeAs(sequence, event, &MIDISequence::createSystemSongPositionPointerMessage);
      break;
    case STATUS_SONGSELECT: written = writeAs(sequence, event, &MIDISequence::createSystemSongSelectMessage); break;
    case STATUS_TUNEREQUEST: written = writeAs(sequence, event, &MIDISequence::createSystemTuneRequestMessage); break;
    case STATUS_TIMINGCLOCK: written = writeAs(sequence, event, &MIDISequence::createSystemTimingClockMessage); break;
    case STATUS_START: written = writeAs(sequence, event, &MIDISequence::createSystemStartMessage); break;
    case STATUS_CONTINUE: written = writeAs(sequence, event, &MIDISequence::createSystemContinueMessage); break;
    case STATUS_STOP: written = writeAs(sequence, event, &MIDISequence::createSystemStopMessage); break;
    case STATUS_ACTIVESENSING:
      written = writeAs(sequence, event, &MIDISequence::createSystemActiveSensingMessage);
      break;
    case STATUS_RESET: written = writeAs(sequence, event, &MIDISequence::createSystemResetMessage); break;
    default: break;
  }
  safeprint(written ? info : kUnassigned);
}

// The writer of the meta type for a node of its own class; a plain MetaEvent of a written type goes out as
// createMetaEvent writes it. Types without a writer are passed over silently.
void writeByMetaType(MIDISequence& sequence, const std::shared_ptr<MetaEvent>& event) {
  bool written = false;
  switch (event->type) {
    case META_SEQUENCENUMBER:
      written = writeAs(sequence, event, &MIDISequence::createMetaSequenceNumberMessage);
      break;
    case META_TEXT: written = writeAs(sequence, event, &MIDISequence::createMetaTextMessage); break;
    case META_COPYRIGHT: written = writeAs(sequence, event, &MIDISequence::createMetaCopyrightMessage); break;
    case META_TRACKNAME: written = writeAs(sequence, event, &MIDISequence::createMetaTrackNameMessage); break;
    case META_INSTRUMENTNAME:
      written = writeAs(sequence, event, &MIDISequence::createMetaInstrumentNameMessage);
      break;
    case META_LYRICS: written = writeAs(sequence, event, &MIDISequence::createMetaLyricsMessage); break;
    case META_MARKER: written = writeAs(sequence, event, &MIDISequence::createMetaMarkerMessage); break;
    case META_CUEPOINT: written = writeAs(sequence, event, &MIDISequence::createMetaCuePointMessage); break;
    case META_PROGRAMNAME: written = writeAs(sequence, event, &MIDISequence::createMetaProgramNameMessage); break;
    case META_DEVICENAME: written = writeAs(sequence, event, &MIDISequence::createMetaDeviceNameMessage); break;
    case META_CHANNELPREFIX:
      written = writeAs(sequence, event, &MIDISequence::createMetaChannelPrefixMessage);
      break;
    case META_MIDIPORT: written = writeAs(sequence, event, &MIDISequence::createMetaMidiPortMessage); break;
    case META_EOT: written = writeAs(sequence, event, &MIDISequence::createMetaEndOfTrackMessage); break;
    case META_SETTEMPO: written = writeAs(sequence, event, &MIDISequence::createMetaSetTempoMessage); break;
    case META_SMTPOFFSET: written = writeAs(sequence, event, &MIDISequence::createMetaSMTPOffsetMessage); break;
    case META_TIMESIGNATURE:
      written = writeAs(sequence, event, &MIDISequence::createMetaTimeSignatureMessage);
      break;
    case META_KEYSIGNATURE: written = writeAs(sequence, event, &MIDISequence::createMetaKeySignatureMessage); break;
    case META_SPECIFIC:
      written = writeAs(sequence, event, &MIDISequence::createMetaSequencerSpecificMessage);
      break;
    default: return;
  }
  if (written) return;
  if (event->kind() == EventKind::MetaEvent) {
    writePlainMetaEvent(sequence, sequence.getTrack(event->channel), event);
  } else {
    safeprint(kUnassigned);
  }
}

// The highest MIDI channel that a track node, or an event in it or its patterns, names; -1 for none.
int highestMIDIChannel(const SequenceNode& tree) {
  int highest = -1;
  auto consider = [&](std::uint8_t channel) {
    if (channel <= kLastMIDIChannel) highest = std::max<int>(highest, channel);
  };
  for (const auto& trackNode : tree.tracks) {
    consider(trackNode->channel);
    for (const auto& event : trackNode->events) consider(event->channel);
    for (const auto& pattern : trackNode->patterns) {
      for (const auto& event : pattern->events) consider(event->channel);
    }
  }
  return highest;
}

}  // namespace

void MIDISequence::eventsToMusicTrack(const std::shared_ptr<EventNode>& event, const MusicTrack& track,
                                      double offset) {
  if (!musicSequence) return safeprint(kNoTargetSequence);
  if (!isTrack(track)) return safeprint(kNoTargetTrack);
  if (!event) return safeprint("MIDISequence::Fehler: Das Event ist undefiniert.");
  event->position += offset;
  if (event->statusMask == 0) {
    if (const auto meta = eventCast<MetaEvent>(event)) return writeByMetaType(*this, meta);
    return safeprint("MIDISequence::Warnung: Ein üngültiges META Element (0x00) wurde gefunden.");
  }
  if (event->statusMask == STATUS_NOTEOFF) return safeprint("MIDISequence::Info: Note Off nicht unterstützt.");
  writeByStatus(*this, event);
}

void MIDISequence::trackNodeToMusicTrack(const std::shared_ptr<TrackNode>& trackNode, const MusicTrack& musicTrack) {
  if (!musicSequence) return safeprint(kNoTargetSequence);
  if (!isTrack(musicTrack)) return safeprint(kNoTargetTrack);
  if (!trackNode) return safeprint(kNoSourceTrack);
  if (!writingWholeTree_) clear(musicTrack);
  for (const auto& event : trackNode->events) eventsToMusicTrack(event, musicTrack, 0.0);
  for (const auto& pattern : trackNode->patterns) {
    for (const auto& event : pattern->events) eventsToMusicTrack(event, musicTrack, 0.0);
  }
}

void MIDISequence::trackNodeToMusicSequence(const std::shared_ptr<TrackNode>& trackNode) {
  if (!musicSequence) return safeprint(kNoTargetSequence);
  if (!trackNode) return safeprint(kNoSourceTrack);
  clear();
  const MusicTrack track = getTrack(trackNode->channel);
  if (!isTrack(track)) return;
  trackNodeToMusicTrack(trackNode, track);
}

void MIDISequence::patternNodeToMusicTrack(const std::shared_ptr<PatternNode>& patternNode,
                                           const MusicTrack& musicTrack) {
  if (!musicSequence) return safeprint(kNoTargetSequence);
  if (!patternNode) return safeprint(kNoSourcePattern);
  if (!isTrack(musicTrack)) return safeprint(kNoTargetTrack);
  clear(musicTrack);
  for (const auto& event : patternNode->events) eventsToMusicTrack(event, musicTrack, 0.0);
}

void MIDISequence::patternNodeToMusicSequence(const std::shared_ptr<PatternNode>& patternNode) {
  if (!musicSequence) return safeprint(kNoTargetSequence);
  if (!patternNode) return safeprint(kNoSourcePattern);
  clear();
  for (const auto& event : patternNode->events) {
    const MusicTrack track = getTrack(0);
    if (!isTrack(track)) return;
    eventsToMusicTrack(event, track, 0.0);
  }
}

void MIDISequence::sequenceNodeToMusicSequence() {
  if (!musicSequence) return safeprint(kNoTargetSequence);
  if (!sequenceNode) return safeprint("MIDISequence::Fehler: Die Quell Sequenz ist undefiniert.");
  clear();
  MusicTrack tempoTrack;
  if (MusicSequenceGetTempoTrack(musicSequence, &tempoTrack) != noErr) {
    return safeprint("MIDISequence::Fehler: Die Tempo Spur konnte nicht abgerufen werden.");
  }
  if (!isTrack(tempoTrack)) return safeprint("MIDISequence::Fehler: Die Tempo Spur ist undefiniert.");
  removeTempoEvents(tempoTrack);
  // The tree keeps the tempo track's other events (time and key signatures) in its tracks and writes them there.
  emptyTrack(tempoTrack);
  for (const auto& event : sequenceNode->tempoTrack->events) {
    const auto tempo = eventCast<TempoEvent>(event);
    if (!tempo) continue;
    if (MusicTrackNewExtendedTempoEvent(tempoTrack, tempo->position, tempo->value) != noErr) {
      return safeprint("MIDISequence::Fehler: Das Tempo Event konnte nicht eingefügt werden.");
    }
  }
  // A sequence loaded with one track per channel found may lack the tracks of some channels.
  const int channelTracks = highestMIDIChannel(*sequenceNode) + 1;
  for (int count = getNumberOfTracks(); count >= 0 && count < channelTracks; ++count) {
    MusicTrack added;
    if (MusicSequenceNewTrack(musicSequence, &added) != noErr) break;
  }
  writingWholeTree_ = true;
  for (const auto& trackNode : sequenceNode->tracks) {
    MusicTrack track;
    if (MusicSequenceGetIndTrack(musicSequence, trackNode->channel, &track) != noErr) {
      safeprint("MIDISequence::Fehler: Eine Spur " + std::to_string(trackNode->channel) +
                " konnte nicht abgerufen werden.");
      continue;
    }
    if (!isTrack(track)) {
      safeprint("MIDISequence::Fehler: Die Zielspur für das Update konnte nicht ermittelt werden.");
      continue;
    }
    trackNodeToMusicTrack(trackNode, track);
  }
  writingWholeTree_ = false;
}
