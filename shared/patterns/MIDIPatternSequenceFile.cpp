// Writing the sections into the platform sequence, and saving and loading the file form.

#include <algorithm>

#include "platform/foundation/Log.h"
#include "platform/musicsequence/MusicSequence.h"
#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"
#include "shared/globals/Print.h"
#include "shared/midievents/MIDIEvents.h"
#include "shared/musicsequence/SequenceErrorText.h"
#include "shared/patterns/MIDIPatternSequence.h"
#include "shared/patterns/PatternFileRecords.h"

namespace {

void print(const std::string& line) { foundation::writeLogLine(line); }

bool isTag(const std::shared_ptr<EventNode>& event) {
  return event->position == 0.0 &&
         (event->isA<MetaChannelPrefixEvent>() || event->isA<MetaSequenceNumberEvent>());
}

// The pattern's tags of an earlier write go; the new pair leads its events, so that a reader meets the tags before
// the pattern's other events at beat 0.0.
void retag(PatternNode& pattern, std::uint8_t slot, std::uint16_t sectionIndex) {
  std::erase_if(pattern.events, isTag);
  auto prefix = std::make_shared<MetaChannelPrefixEvent>();
  prefix->position = 0.0;
  prefix->setPrefix(slot);
  pattern.addEvent(prefix);
  auto number = std::make_shared<MetaSequenceNumberEvent>();
  number->position = 0.0;
  number->setSequenceNumber(sectionIndex);
  pattern.addEvent(number);
  std::rotate(pattern.events.begin(), pattern.events.end() - 2, pattern.events.end());
}

// What goes into the file for an event: itself, or the file's own record for what a MIDI file cannot carry.
std::shared_ptr<EventNode> fileFormOf(const std::shared_ptr<EventNode>& event) {
  if (event->kind() == EventKind::UserEvent) return patternfile::userRecord(static_cast<const UserEvent&>(*event));
  if (const auto meta = eventCast<MetaEvent>(event); meta && patternfile::isTempoMapMeta(meta->type)) {
    return patternfile::tempoMapRecord(*meta);
  }
  return event;
}

}  // namespace

void MIDIPatternSequence::sectionsToMusicSequence() {
  sequenceLength = 0.0;
  removeAllTracks();
  if (!musicSequence) return;
  MusicTrack tempoTrack;
  if (MusicSequenceGetTempoTrack(musicSequence, &tempoTrack) == noErr) {
    clear(tempoTrack);
    // The tempo changes of a loaded file are kept in the song tree; they go back to the tempo track.
    if (sequenceNode) {
      for (const auto& event : sequenceNode->tempoTrack->events) {
        if (const auto tempo = eventCast<TempoEvent>(event)) {
          MusicTrackNewExtendedTempoEvent(tempoTrack, tempo->position, tempo->value);
        }
      }
    }
  }
  const std::size_t written = std::min(sections.size(), patternfile::kMostSections);
  for (std::size_t i = 0; i < written; ++i) sectionToMusicTracks(static_cast<std::uint16_t>(i));
  for (std::size_t i = written; i < sections.size(); ++i) {
    const auto& patterns = sections[i]->patterns;
    if (std::any_of(patterns.begin(), patterns.end(), [](const auto& p) { return patternfile::holdsSomething(*p); })) {
      safeprint("MIDISequence::Fehler: Die Sektionen ab " + std::to_string(patternfile::kMostSections) +
                " passen nicht in eine Pattern Datei und werden nicht gespeichert.");
      break;
    }
  }
}

void MIDIPatternSequence::sectionToMusicTracks(std::uint16_t sectionIndex) {
  if (!hasSection(sectionIndex, "Fehler: Mit der Anzahl der Sektionen stimmt etwas nicht.")) return;
  const auto& patterns = sections[sectionIndex]->patterns;
  for (std::size_t slot = 0; slot < patterns.size(); ++slot) {
    const auto& pattern = patterns[slot];
    if (!patternfile::holdsSomething(*pattern)) continue;
    retag(*pattern, static_cast<std::uint8_t>(slot), sectionIndex);
    pattern->channel = static_cast<std::uint8_t>(slot);
    pattern->offset = sectionIndex * patternfile::kBeatsPerSection;
    disposeLink(*pattern);
    MusicTrack track;
    if (OSStatus status = MusicSequenceNewTrack(musicSequence, &track); status != noErr) {
      safeprint("MIDISequence::Fehler: Die Spur konnte nicht erzeugt werden. : " + std::to_string(status));
      sequenceErrorText(status);
      continue;
    }
    pattern->link = track;
    patternNodeToMusicTrack(pattern, track);
  }
}

void MIDIPatternSequence::patternNodeToMusicTrack(const std::shared_ptr<PatternNode>& patternNode,
                                                  const MusicTrack& musicTrack) {
  if (!musicSequence) return print("Fehler: Die Ziel Sequenz ist undefiniert.");
  if (!patternNode) return print("Fehler: Das Quell Pattern ist undefiniert.");
  if (musicTrack.sequence.expired()) return print("Fehler: Die Ziel Spur ist undefiniert.");
  writeTarget_ = musicTrack;
  for (const auto& event : patternNode->events) eventsToMusicTrack(fileFormOf(event), musicTrack, 0.0);
  eventsToMusicTrack(patternfile::propertiesRecord(*patternNode), musicTrack, 0.0);
  writeTarget_.reset();
}

MusicTrack MIDIPatternSequence::getTrack(int trackIndex) {
  if (writeTarget_) return *writeTarget_;
  return MIDISequence::getTrack(trackIndex);
}

void MIDIPatternSequence::sequenceNodeToMusicSequence() {}

void MIDIPatternSequence::saveToFile(const std::filesystem::path& url) {
  if (!musicSequence) {
    safeprint("MIDISequence::Fehler: MusicSequence konnte nicht initialisiert werden.");
    return;
  }
  sectionsToMusicSequence();
  MIDISequence::saveToFile(url);
}

void MIDIPatternSequence::loadFromFile(const std::filesystem::path& url) {
  MusicSequence loaded;
  if (OSStatus status = NewMusicSequence(&loaded); status != noErr) {
    safeprint("MIDISequence::Fehler: " + std::to_string(status) + ". \nEs konnte keine Sequenz erzeugt werden.");
    return;
  }
  if (OSStatus status = MusicSequenceFileLoad(loaded, url, kMusicSequenceFile_MIDIType, loadFlag); status != noErr) {
    safeprint("MIDISequence::Fehler: " + std::to_string(status) + ". \nDie MIDI Datei konnte nicht geladen werden.");
    sequenceErrorText(status);
    return;
  }
  setMusicSequence(loaded);
  readingFile_ = true;
  clearAllSections();
  musicSequenceToSequenceNode();
  readingFile_ = false;
}
