#include "shared/musicsequence/MIDISequence.h"

#include "platform/musicsequence/MusicSequenceDump.h"
#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"
#include "shared/globals/Print.h"
#include "shared/musicsequence/SequenceErrorText.h"

namespace {

constexpr const char* kError = "MIDISequence::Fehler: ";
constexpr const char* kUndefinedSequence = "MIDISequence::Fehler: Die Sequenz ist undefiniert.";
constexpr std::uint16_t kMostTracks = SequenceNode::maxTracks;

}  // namespace

std::shared_ptr<MIDISequence> MIDISequence::create() {
  std::shared_ptr<MIDISequence> sequence(new MIDISequence());
  sequence->init();
  return sequence;
}

void MIDISequence::init() { create(1); }

void MIDISequence::logStatus(const char* prefix, OSStatus status, const char* text) {
  safeprint(std::string(prefix) + std::to_string(status) + text);
}

void MIDISequence::create(std::uint16_t numberOfTracks) {
  if (numberOfTracks > kMostTracks) {
    logStatus("MIDISequence::Fehler: Die Spuren für die Aufnahme konnten nicht erzeugt werden. : ", kAudio_ParamError,
              "");
    sequenceErrorText(kAudio_ParamError);
    return;
  }
  if (OSStatus status = NewMusicSequence(&musicSequence); status != noErr) {
    logStatus(kError, status, ". \nEs konnte keine Sequenz erzeugt werden.");
    return;
  }
  for (std::uint16_t i = 0; i < numberOfTracks; ++i) {
    MusicTrack track;
    if (OSStatus status = MusicSequenceNewTrack(musicSequence, &track); status != noErr) {
      logStatus("MIDISequence::Fehler: Die Spuren für die Aufnahme konnten nicht erzeugt werden. : ", status, "");
      sequenceErrorText(status);
      return;
    }
  }
  sequenceNode = SequenceNode::create(numberOfTracks);
}

void MIDISequence::loadFromFile(const std::filesystem::path& url) {
  if (OSStatus status = NewMusicSequence(&musicSequence); status != noErr) {
    logStatus(kError, status, ". \nEs konnte keine Sequenz erzeugt werden.");
    return;
  }
  if (OSStatus status = MusicSequenceFileLoad(musicSequence, url, kMusicSequenceFile_MIDIType, loadFlag);
      status != noErr) {
    logStatus(kError, status, ". \nDie MIDI Datei konnte nicht geladen werden.");
    sequenceErrorText(status);
    create(16);
  }
}

void MIDISequence::saveToFile(const std::filesystem::path& url) {
  if (!musicSequence) {
    safeprint("MIDISequence::Fehler: MusicSequence konnte nicht initialisiert werden.");
    return;
  }
  if (OSStatus status = MusicSequenceFileCreate(musicSequence, url, kMusicSequenceFile_MIDIType,
                                                kMusicSequenceFileFlags_EraseFile, 0);
      status != noErr) {
    logStatus("MIDISequence::Fehler: Die MIDI Datei konnte nicht gespeichert werden. : ", status, "");
    sequenceErrorText(status);
  }
}

void MIDISequence::deleteTrack(const MusicTrack& track) {
  if (OSStatus status = MusicSequenceDisposeTrack(musicSequence, track); status != noErr) {
    logStatus("MIDISequence::Fehler: Die Spur konnte nicht gelöscht werden. : ", status, "");
    sequenceErrorText(status);
  }
}

void MIDISequence::clear() {
  const int count = getNumberOfTracks();
  for (int i = 0; i < count; ++i) emptyTrack(getTrack(i));
  sequenceLength = 0.0;
}

std::uint32_t MIDISequence::getTrackIndex(const MusicTrack& track) {
  std::uint32_t index = 0;
  if (MusicSequenceGetTrackIndex(musicSequence, track, &index) != noErr) {
    safeprint("MIDISequence::Fehler: Der Spur Index konnte nicht ermittelt werden.");
    return 0;
  }
  return index;
}

void MIDISequence::setMusicSequence(MusicSequence sequence) { musicSequence = std::move(sequence); }

MusicSequence MIDISequence::getMusicSequence() { return musicSequence; }

std::shared_ptr<SequenceNode> MIDISequence::getSequenceNode() { return sequenceNode; }

double MIDISequence::getLength() { return sequenceLength; }

int MIDISequence::getNumberOfTracks() {
  if (!musicSequence) {
    safeprint(kUndefinedSequence);
    return -1;
  }
  std::uint32_t count = 0;
  if (OSStatus status = MusicSequenceGetTrackCount(musicSequence, &count); status != noErr) {
    logStatus(kError, status, ". \nDie Anzahl der Spuren konnte nicht ermittelt werden.");
    sequenceErrorText(status);
    return 0;
  }
  return static_cast<int>(count);
}

MusicTrack MIDISequence::getTrack(int trackIndex) {
  if (!musicSequence) {
    safeprint(kUndefinedSequence);
    return {};
  }
  MusicTrack track;
  const OSStatus status = trackIndex < 0 ? kAudioToolboxErr_TrackIndexError
                                         : MusicSequenceGetIndTrack(musicSequence,
                                                                    static_cast<std::uint32_t>(trackIndex), &track);
  if (status != noErr) {
    logStatus(kError, status, ". \nFür den Index konnte keine Spur gefunden werden.");
    sequenceErrorText(status);
    return {};
  }
  return track;
}

std::uint8_t MIDISequence::getChannelAssignment(std::uint8_t channel) {
  return channel < channelAssignments.size() ? channelAssignments[channel]->channel : 0;
}

std::uint8_t MIDISequence::getPatchForChannel(std::uint8_t channel) {
  return channel < patches.size() ? patches[channel] : 0;
}

void MIDISequence::diagnostics() {
  if (!musicSequence) {
    safeprint(kUndefinedSequence);
    return;
  }
  CAShow(musicSequence);
}

void MIDISequence::diagnose(const std::string&) {}

void MIDISequence::nodesToPhraseEvents() {}
