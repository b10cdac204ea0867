#include <cstring>

#include "platform/foundation/NumberText.h"
#include "platform/musicsequence/MusicEventIterator.h"
#include "platform/musicsequence/MusicTrack.h"
#include "shared/globals/Print.h"
#include "shared/musicsequence/MIDISequence.h"
#include "shared/musicsequence/SampleTimeGrid.h"
#include "shared/musicsequence/SequenceErrorText.h"
#include "shared/musicsequence/TempoMarker.h"

namespace {

using foundation::numberText;

constexpr const char* kUndefinedSequence = "MIDISequence::Fehler: Die Sequenz ist undefiniert.";
constexpr const char* kNoTempoTrack = ". \nDie Tempo Spur konnte nicht ermittelt werden.";
constexpr double kDefaultTempo = 120.0;

void logStatusLine(const char* prefix, OSStatus status, const char* text) {
  safeprint(std::string(prefix) + std::to_string(status) + text);
}

// Walks the events of a tempo track in track order and hands each extended tempo event (beats per minute, position)
// to visitTempo, which returns true to have it deleted; every other event stays, with a warning. An event whose
// information cannot be queried is passed over with a warning.
template <class VisitTempo>
void walkTempoTrack(const MusicTrack& track, VisitTempo visitTempo) {
  MusicEventIterator iterator;
  if (OSStatus status = NewMusicEventIterator(track, &iterator); status != noErr) {
    logStatusLine("MIDISequence::Fehler: ", status, ". \nEs konnte kein Iterator erzeugt werden.");
    return;
  }
  bool hasEvent = false;
  if (OSStatus status = MusicEventIteratorHasCurrentEvent(iterator, &hasEvent); status != noErr) {
    logStatusLine("MIDISequence::Fehler: ", status,
                  ". \nEs konnte nicht festgestellt werden, ob sich Daten in der Spur befinden.");
    DisposeMusicEventIterator(iterator);
    return;
  }
  if (!hasEvent) {
    safeprint("MIDISequence::Warnung: Die Spur enthält keine Daten.");
    DisposeMusicEventIterator(iterator);
    return;
  }
  for (;;) {
    MusicTimeStamp time = 0.0;
    MusicEventType type = kMusicEventType_NULL;
    const void* record = nullptr;
    std::uint32_t size = 0;
    OSStatus status = MusicEventIteratorGetEventInfo(iterator, &time, &type, &record, &size);
    if (status == noErr && type == kMusicEventType_ExtendedTempo && (record == nullptr || size < sizeof(double))) {
      status = kAudio_ParamError;
    }
    if (status != noErr) {
      logStatusLine("MIDISequence::Warnung: ", status,
                    ". \nZum Event konnten keine Timestamp Informationen abgerufen werden.");
    } else if (type == kMusicEventType_ExtendedTempo) {
      ExtendedTempoEvent tempo{};
      std::memcpy(&tempo, record, sizeof tempo);
      if (visitTempo(tempo.bpm, time)) {
        if (status = MusicEventIteratorDeleteEvent(iterator); status == noErr) {
          // The iterator now stands on the event that followed the deleted one.
          bool hasFollower = false;
          if (MusicEventIteratorHasCurrentEvent(iterator, &hasFollower) != noErr || !hasFollower) break;
          continue;
        }
        logStatusLine("MIDISequence::Warnung: ", status, ". \nEin Tempo Event konnte nicht gelöscht werden.");
        sequenceErrorText(status);
      }
    } else {
      safeprint("MIDISequence::Warnung: Anderes MIDI Event auf der Tempospur vom Type " + std::to_string(type) +
                " gefunden.");
    }
    bool hasNext = false;
    if (status = MusicEventIteratorHasNextEvent(iterator, &hasNext); status != noErr) {
      logStatusLine("MIDISequence::Warnung: ", status, ". \nDas Folge Event konnte nicht ermittelt werden.");
      sequenceErrorText(status);
      break;
    }
    if (!hasNext) break;
    if (status = MusicEventIteratorNextEvent(iterator); status != noErr) {
      logStatusLine("MIDISequence::Warnung: ", status,
                    ". \nDas Folge Event konnte nicht abgerufen werden (Ende der Spur?).");
      sequenceErrorText(status);
      break;
    }
  }
  DisposeMusicEventIterator(iterator);
}

}  // namespace

void MIDISequence::ensureSongLength(double length) {
  if (sequenceLength < length) sequenceLength = length;
}

double MIDISequence::getTempo() { return currentTempo; }

std::optional<MusicTrack> MIDISequence::getTempoTrack() {
  MusicTrack track;
  if (OSStatus status = MusicSequenceGetTempoTrack(musicSequence, &track); status != noErr) {
    logStatus("MIDISequence::Fehler: ", status, kNoTempoTrack);
    sequenceErrorText(status);
    return std::nullopt;
  }
  return track;
}

void MIDISequence::setTempo(double tempo) {
  if (!musicSequence) {
    safeprint("MIDISequence::Fehler: Die Sequenz ist undefiniert. Tempo kann nicht gesetzt werden.");
    return;
  }
  currentTempo = tempo;
  MusicTrack track;
  if (OSStatus status = MusicSequenceGetTempoTrack(musicSequence, &track); status != noErr) {
    logStatus("MIDISequence::Fehler: ", status, kNoTempoTrack);
    sequenceErrorText(status);
    return;
  }
  removeTempoEvents(track);
  currentTempo = tempo;
  if (OSStatus status = MusicTrackNewExtendedTempoEvent(track, 0.0, tempo); status != noErr) {
    logStatus("MIDISequence::Fehler: ", status, ". \nDas Tempo für die Sequenz konnte nicht festgelegt weren.");
    sequenceErrorText(status);
    return;
  }
  safeprint("Das Tempo der Sequenz wurde auf " + numberText(tempo) + " gesetzt.");
}

void MIDISequence::setTempo(double tempo, double at) {
  if (!musicSequence) {
    safeprint(kUndefinedSequence);
    return;
  }
  MusicTrack track;
  if (OSStatus status = MusicSequenceGetTempoTrack(musicSequence, &track); status != noErr) {
    logStatus("MIDISequence::Fehler: ", status, kNoTempoTrack);
    sequenceErrorText(status);
    return;
  }
  if (OSStatus status = MusicTrackNewExtendedTempoEvent(track, at, tempo); status != noErr) {
    logStatus("MIDISequence::Fehler: ", status, ". \nDas Tempo konnte nicht zur Tempo Spur hinzugefügt werden.");
    sequenceErrorText(status);
    return;
  }
  safeprint("MIDISequence::Info: Ein neues Tempo '" + numberText(tempo) + "' wurde in die Tempo Spur eingefügt.");
}

void MIDISequence::removeTempoEvents(const MusicTrack& track) {
  if (!musicSequence) {
    safeprint(kUndefinedSequence);
    return;
  }
  currentTempo = kDefaultTempo;
  safeprint("MIDISequence::Warnung: Alle Tempo Events werden aus der Spur gelöscht.");
  walkTempoTrack(track, [](double bpm, MusicTimeStamp time) {
    safeprint("MIDISequence::Info: Lösche Extended Tempo Message: " + numberText(bpm) +
              ", Position = " + numberText(time));
    return true;
  });
}

std::vector<std::shared_ptr<AUMIDIEventEx>> MIDISequence::getTempoEvents(const MusicTrack& track, double samplerate) {
  std::vector<std::shared_ptr<AUMIDIEventEx>> markers;
  if (!musicSequence) {
    safeprint(kUndefinedSequence);
    return markers;
  }
  currentTempo = kDefaultTempo;
  const double samplesPerBeat = samplesPerBeatAt(samplerate);
  walkTempoTrack(track, [&](double bpm, MusicTimeStamp time) {
    safeprint("MIDISequence::Info: Extended Tempo Event: " + numberText(bpm) + ", Position = " + numberText(time));
    if (!tempoMarkerCanCarry(bpm)) {
      safeprint("MIDISequence::Fehler: Das Tempo " + numberText(bpm) + " kann nicht als Tempo Marke kodiert werden.");
      return false;
    }
    const auto sampleTime = beatsToSampleTime(samplesPerBeat, time);
    if (!sampleTime) {
      safeprint("MIDISequence::Fehler: Die Position " + numberText(time) + " ergibt keine gültige Sample Zeit.");
      return false;
    }
    markers.push_back(
        makeTempoMarker(bpm, *sampleTime, kFirstTempoMarkerId + static_cast<std::int64_t>(markers.size())));
    return false;
  });
  return markers;
}
