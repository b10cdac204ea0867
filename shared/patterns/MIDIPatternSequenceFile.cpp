// Writing the sections into the platform sequence, and saving and loading the file form.

#include <algorithm>

#include "platform/foundation/Log.h"
#include "platform/musicsequence/MusicSequence.h"
#include "shared/globals/Print.h"
#include "shared/midievents/MetaEvents.h"
#include "shared/musicsequence/SequenceErrorText.h"
#include "shared/patterns/MIDIPatternSequence.h"

namespace {

constexpr std::size_t kMostWrittenSections = 65536;
constexpr double kBeatsPerSection = 4.0;

void print(const std::string& line) { foundation::writeLogLine(line); }

bool isTag(const std::shared_ptr<EventNode>& event) {
  return event->position == 0.0 &&
         (event->isA<MetaChannelPrefixEvent>() || event->isA<MetaSequenceNumberEvent>());
}

// The pattern's tags of an earlier write go; the new pair leads its events, so that a reader meets the tags before
// the pattern's other events at beat 0.0.
void retag(PatternNode& pattern, std::uint8_t rank, std::uint16_t sectionIndex) {
  std::erase_if(pattern.events, isTag);
  auto prefix = std::make_shared<MetaChannelPrefixEvent>();
  prefix->position = 0.0;
  prefix->setPrefix(rank);
  pattern.addEvent(prefix);
  auto number = std::make_shared<MetaSequenceNumberEvent>();
  number->position = 0.0;
  number->setSequenceNumber(sectionIndex);
  pattern.addEvent(number);
  std::rotate(pattern.events.begin(), pattern.events.end() - 2, pattern.events.end());
}

}  // namespace

void MIDIPatternSequence::sectionsToMusicSequence() {
  clear();
  for (std::size_t i = 0; i < sections.size() && i < kMostWrittenSections; ++i) {
    sectionToMusicTracks(static_cast<std::uint16_t>(i));
  }
}

void MIDIPatternSequence::sectionToMusicTracks(std::uint16_t sectionIndex) {
  if (!hasSection(sectionIndex, "Fehler: Mit der Anzahl der Sektionen stimmt etwas nicht.")) return;
  std::uint8_t rank = 0;
  for (const auto& pattern : sections[sectionIndex]->patterns) {
    if (pattern->events.empty()) continue;
    retag(*pattern, rank, sectionIndex);
    pattern->channel = rank;
    pattern->offset = sectionIndex * kBeatsPerSection;
    disposeLink(*pattern);
    ++rank;
    MusicTrack track;
    if (OSStatus status = MusicSequenceNewTrack(musicSequence, &track); status != noErr) {
      safeprint("MIDISequence::Fehler: Die Spur konnte nicht erzeugt werden. : " + std::to_string(status));
      sequenceErrorText(status);
      continue;
    }
    links_[pattern.get()] = track;
    patternNodeToMusicTrack(pattern, track);
  }
}

void MIDIPatternSequence::patternNodeToMusicTrack(const std::shared_ptr<PatternNode>& patternNode,
                                                  const MusicTrack& musicTrack) {
  if (!musicSequence) return print("Fehler: Die Ziel Sequenz ist undefiniert.");
  if (!patternNode) return print("Fehler: Das Quell Pattern ist undefiniert.");
  if (musicTrack.sequence.expired()) return print("Fehler: Die Ziel Spur ist undefiniert.");
  writeTarget_ = musicTrack;
  for (const auto& event : patternNode->events) eventsToMusicTrack(event, musicTrack, 0.0);
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
  MIDISequence::loadFromFile(url);
  readingFile_ = true;
  clearAllSections();
  musicSequenceToSequenceNode();
  readingFile_ = false;
}
