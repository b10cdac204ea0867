#include "shared/patterns/MIDIPatternSequence.h"

#include <algorithm>
#include <utility>

#include "platform/foundation/Log.h"
#include "platform/musicsequence/MusicSequence.h"
#include "shared/globals/Print.h"
#include "shared/midievents/MetaEvents.h"
#include "shared/musicsequence/SequenceErrorText.h"

namespace {

constexpr const char* kNoSection = "Fehler: Der Index ist größer als die Anzahl der verfügbaren Sektionen.";
constexpr const char* kNoChannel = "Fehler: Der Index ist größer als die Anzahl der verfügbaren Kanäle.";
constexpr std::size_t kMostSections = 65536;

void print(const std::string& line) { foundation::writeLogLine(line); }

}  // namespace

MIDIPatternSequence::Section::Section(bool named) {
  for (std::size_t slot = 0; slot < kSlots; ++slot) {
    patterns[slot] = std::make_shared<PatternNode>();
    patterns[slot]->channel = static_cast<std::uint8_t>(slot);
  }
  if (!named) return;
  auto name = std::make_shared<MetaTrackNameEvent>();
  name->position = 0.0;
  name->setText("New Pattern");
  patterns[0]->addEvent(name);
}

MIDIPatternSequence::Section::~Section() {
  for (auto& pattern : patterns) pattern->events = {};
}

std::shared_ptr<MIDIPatternSequence> MIDIPatternSequence::create() {
  std::shared_ptr<MIDIPatternSequence> sequence(new MIDIPatternSequence());
  sequence->init();
  return sequence;
}

void MIDIPatternSequence::init() {
  MIDISequence::init();
  maxTracks = 10000;
  loadFlag = kMusicSequenceLoadSMF_PreserveTracks;
  createSection();
  sectionsToMusicSequence();
}

void MIDIPatternSequence::removeAllTracks() {
  for (const auto& section : sections) {
    for (const auto& pattern : section->patterns) pattern->link.reset();
  }
  if (!musicSequence) return safeprint("MIDISequence::Fehler: Die Sequenz ist undefiniert.");
  const int count = getNumberOfTracks();
  for (int i = 0; i < count; ++i) {
    MusicTrack track;
    if (OSStatus status = MusicSequenceGetIndTrack(musicSequence, 0, &track); status != noErr) {
      return safeprint("MIDISequence::Fehler: " + std::to_string(status) +
                       ". \nFür den Index konnte keine Spur gefunden werden.");
    }
    if (OSStatus status = MusicSequenceDisposeTrack(musicSequence, track); status != noErr) {
      return safeprint("MIDISequence::Fehler: Die Spur konnte nicht gelöscht werden. : " + std::to_string(status));
    }
  }
}

bool MIDIPatternSequence::hasSection(std::uint16_t index, const char* message) const {
  if (index < sections.size()) return true;
  print(message);
  return false;
}

void MIDIPatternSequence::createSection() { appendSection(!readingFile_); }

void MIDIPatternSequence::appendSection(bool named) {
  if (sections.size() >= kMostSections) return;
  sections.push_back(std::make_shared<Section>(named));
  if (pattern_delegate) {
    pattern_delegate->onSectionCreated(static_cast<std::uint16_t>(std::min<std::size_t>(sections.size(), 0xFFFF)));
  }
}

void MIDIPatternSequence::deleteSection(std::uint16_t index) {
  if (!hasSection(index, "Fehler: Die Anzahl der Sektionen ist kleiner als der Index.")) return;
  clearSection(index);
  sections.erase(sections.begin() + index);
  if (pattern_delegate) pattern_delegate->onSectionDeleted(index);
}

void MIDIPatternSequence::disposeLink(PatternNode& pattern) {
  const std::optional<MusicTrack> track = std::exchange(pattern.link, std::nullopt);
  // A track of an earlier platform sequence (one replaced by a load) is gone with it.
  if (!track || track->sequence.lock() != musicSequence) return;
  if (OSStatus status = MusicSequenceDisposeTrack(musicSequence, *track); status != noErr) {
    safeprint("MIDISequence::Fehler: Die Spur konnte nicht gelöscht werden. : " + std::to_string(status));
    sequenceErrorText(status);
  }
}

void MIDIPatternSequence::clearSection(std::uint16_t index) {
  if (!hasSection(index, "Fehler: Die Anzahl der Sektionen ist kleiner als der Index.")) return;
  for (const auto& pattern : sections[index]->patterns) disposeLink(*pattern);
  for (const auto& pattern : sections[index]->patterns) pattern->events = {};
}

void MIDIPatternSequence::clearAllSections() {
  while (!sections.empty()) deleteSection(static_cast<std::uint16_t>(sections.size() - 1));
  createSection();
}

std::shared_ptr<PatternNode> MIDIPatternSequence::getPattern(std::uint16_t sectionIndex, std::uint8_t channelIndex) {
  if (sectionIndex >= sections.size()) {
    print("Warnung: Der Index ist größer als die Anzahl der verfügbaren Sektionen.");
    const std::size_t wanted = std::min<std::size_t>(std::size_t{sectionIndex} + 2, kMostSections);
    while (sections.size() < wanted) createSection();
  }
  if (channelIndex >= Section::kSlots) {
    print(kNoChannel);
    return nullptr;
  }
  return sections[sectionIndex]->patterns[channelIndex];
}

void MIDIPatternSequence::setPattern(const std::shared_ptr<PatternNode>& patternNode, std::uint16_t sectionIndex,
                                     std::uint8_t channelIndex) {
  if (!hasSection(sectionIndex, kNoSection)) return;
  if (channelIndex >= Section::kSlots) return print(kNoChannel);
  if (!patternNode) return print("Warnung: Das Pattern ist undefiniert.");
  clearPattern(sectionIndex, channelIndex);
}

void MIDIPatternSequence::clearPattern(std::uint16_t sectionIndex, std::uint8_t channelIndex) {
  if (!hasSection(sectionIndex, kNoSection)) return;
  if (channelIndex >= Section::kSlots) return print(kNoChannel);
  PatternNode& pattern = *sections[sectionIndex]->patterns[channelIndex];
  const std::optional<MusicTrack> track = std::exchange(pattern.link, std::nullopt);
  if (!track) return;
  if (track->sequence.lock() == musicSequence) deleteTrack(*track);
  pattern.events = {};
}

void MIDIPatternSequence::moveSection(std::uint16_t, std::uint16_t) {}
void MIDIPatternSequence::muteSection(std::uint16_t) {}
void MIDIPatternSequence::soloSection(std::uint16_t) {}
void MIDIPatternSequence::copyPattern(const std::shared_ptr<PatternNode>&, std::uint16_t, std::uint8_t) {}
void MIDIPatternSequence::movePattern(std::uint16_t, std::uint8_t, std::uint16_t, std::uint8_t) {}
void MIDIPatternSequence::soloPattern(std::uint16_t, std::uint8_t, std::uint16_t, std::uint8_t) {}
void MIDIPatternSequence::mutePattern(std::uint16_t, std::uint8_t, std::uint16_t, std::uint8_t) {}
void MIDIPatternSequence::muteTrack(std::uint8_t) {}
void MIDIPatternSequence::soloTrack(std::uint8_t) {}
