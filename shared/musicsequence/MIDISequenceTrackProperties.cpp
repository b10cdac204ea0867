#include <cstring>

#include "platform/musicsequence/MusicEventIterator.h"
#include "platform/musicsequence/MusicTrack.h"
#include "shared/globals/Print.h"
#include "shared/musicsequence/MIDISequence.h"

namespace {

constexpr const char* kError = "MIDISequence::Fehler: ";

bool hasTrack(const MusicTrack& track) { return !track.sequence.expired(); }

// Reads a property of type Value; returns the status.
template <typename Value>
OSStatus readProperty(const MusicTrack& track, MusicSequenceTrackProperty property, Value& value) {
  std::uint32_t size = sizeof value;
  return MusicTrackGetProperty(track, property, &value, &size);
}

template <typename Value>
OSStatus writeProperty(const MusicTrack& track, MusicSequenceTrackProperty property, const Value& value) {
  return MusicTrackSetProperty(track, property, &value, sizeof value);
}

}  // namespace

double MIDISequence::getTrackLength(const MusicTrack& track) {
  double length = 0.0;
  if (OSStatus status = readProperty(track, kSequenceTrackProperty_TrackLength, length); status != noErr) {
    logStatus(kError, status, ". \nDie Länge der Spur konnte nicht ermittelt werden.");
    return 0.0;
  }
  return length;
}

std::int16_t MIDISequence::getTrackTimeResolution(const MusicTrack& track) {
  std::int16_t resolution = 0;
  if (OSStatus status = readProperty(track, kSequenceTrackProperty_TimeResolution, resolution); status != noErr) {
    logStatus(kError, status, ". \nDie Zeitauflösung der Spur konnte nicht ermittelt werden.");
    return 0;
  }
  return resolution;
}

MusicTrackLoopInfo MIDISequence::getTrackLoopInfo(const MusicTrack& track) {
  MusicTrackLoopInfo loop{0.0, 0};
  if (OSStatus status = readProperty(track, kSequenceTrackProperty_LoopInfo, loop); status != noErr) {
    logStatus(kError, status, ". \nLoop Info für die Spur konnte nicht ermittelt werden.");
    return {0.0, 0};
  }
  return loop;
}

double MIDISequence::getTrackOffsetTime(const MusicTrack& track) {
  double offset = 0.0;
  if (OSStatus status = readProperty(track, kSequenceTrackProperty_OffsetTime, offset); status != noErr) {
    logStatus(kError, status, ". \nDer Zeitverstaz der Spur konnte nicht ermittelt werden.");
    return 0.0;
  }
  return offset;
}

bool MIDISequence::getTrackMuteStaus(const MusicTrack& track) {
  bool muted = false;
  if (OSStatus status = readProperty(track, kSequenceTrackProperty_MuteStatus, muted); status != noErr) {
    logStatus(kError, status, ". \nDie Stumm Schaltung der Spur konnte nicht ermittelt werden.");
    return false;
  }
  return muted;
}

bool MIDISequence::getTrackSoloStatus(const MusicTrack& track) {
  bool soloed = false;
  if (OSStatus status = readProperty(track, kSequenceTrackProperty_SoloStatus, soloed); status != noErr) {
    logStatus(kError, status, ". \nDie Solo Schaltung der Spur konnte nicht ermittelt werden.");
    return false;
  }
  return soloed;
}

bool MIDISequence::getTrackAutomatedParameters(const MusicTrack& track) {
  std::uint32_t automated = 0;
  if (OSStatus status = readProperty(track, kSequenceTrackProperty_AutomatedParameters, automated);
      status != noErr) {
    logStatus(kError, status, ". \nDie Automations Info der Spur konnte nicht ermittelt werden.");
    return false;
  }
  std::uint8_t firstByte = 0;
  std::memcpy(&firstByte, &automated, 1);
  return firstByte != 0;
}

void MIDISequence::setTrackLength(const MusicTrack& track, double value) {
  if (OSStatus status = writeProperty(track, kSequenceTrackProperty_TrackLength, value); status != noErr) {
    logStatus(kError, status, ". \nDie Länge der Spur konnte nicht gesetzt werden.");
  }
}

void MIDISequence::setLoopInfo(const MusicTrack& track, double from, double to, std::int32_t times) {
  const double duration = to - from;
  const MusicTrackLoopInfo loop{duration < 0.0 ? 4.0 : duration, times};
  if (OSStatus status = writeProperty(track, kSequenceTrackProperty_LoopInfo, loop); status != noErr) {
    logStatus("MIDISequence::Fehler: Die Loop Information konnte nicht zur Spur hinzugefügt werden: ", status, "");
  }
}

void MIDISequence::setOfssetTime(const MusicTrack& track, double offset) {
  if (OSStatus status = writeProperty(track, kSequenceTrackProperty_OffsetTime, offset); status != noErr) {
    logStatus(kError, status, ". \nDer Zeitverstaz der Spur konnte nicht gestzt werden.");
  }
}

void MIDISequence::setMuteStatus(const MusicTrack& track, bool value) {
  if (OSStatus status = writeProperty(track, kSequenceTrackProperty_MuteStatus, value); status != noErr) {
    logStatus(kError, status, ". \nDie Stumm Schaltung der Spur konnte nicht gestzt werden.");
  }
}

void MIDISequence::setSoloStatus(const MusicTrack& track, bool value) {
  if (OSStatus status = writeProperty(track, kSequenceTrackProperty_SoloStatus, value); status != noErr) {
    logStatus(kError, status, "");
  }
}

void MIDISequence::setAutomatedParameters(const MusicTrack&) {}

void MIDISequence::setTimeResolution(const MusicTrack&) {}

bool MIDISequence::isTrackEmpty(const MusicTrack& track) {
  if (!hasTrack(track)) {
    safeprint("MIDISequence::Fehler: Die Spur ist undefiniert.");
    return true;
  }
  MusicEventIterator iterator;
  if (OSStatus status = NewMusicEventIterator(track, &iterator); status != noErr) {
    logStatus(kError, status, ". \nEs konnte kein Iterator erzeugt werden.");
    return true;
  }
  bool hasCurrentEvent = false;
  if (OSStatus status = MusicEventIteratorHasCurrentEvent(iterator, &hasCurrentEvent); status != noErr) {
    logStatus(kError, status, ". \nEs konnte nicht festgestellt werden, ob sich Daten in der Spur befinden.");
  }
  DisposeMusicEventIterator(iterator);
  return !hasCurrentEvent;
}

void MIDISequence::clear(const MusicTrack& track) { emptyTrack(track); }

void MIDISequence::emptyTrack(const MusicTrack& track) {
  const double length = getTrackLength(track);
  if (isTrackEmpty(track)) {
    if (length > 0.0) safeprint("MIDISequence::Warnung: Die Spur ist leer.");
    return;
  }
  // The length reaches the start of the last event (its end, for a note), so this range holds every event, also
  // those at beat 0 of a track of length 0 and those at the very end.
  if (MusicTrackClear(track, 0.0, length + 1.0) != noErr) {
    safeprint("MIDISequence::Warnung: Die Spur konnte nicht geleert werden oder hatte keine Events.");
  }
}
