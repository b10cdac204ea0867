#include "shared/phrases/MIDIPhrase.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <system_error>

#include "platform/foundation/Log.h"
#include "platform/foundation/NumberText.h"

namespace {

constexpr double phraseLimitBeats = MIDIPhrase::MAXBEATLENGTH;

// The non-owning form in which the sequence sees the phrase while it reads.
std::shared_ptr<SequenceFoundDelegate> listening(MIDIPhrase& phrase) {
  return std::shared_ptr<SequenceFoundDelegate>(std::shared_ptr<void>(), &phrase);
}

}  // namespace

void MIDIPhrase::loadPhrase(const std::filesystem::path& url) {
  std::error_code error;
  if (!std::filesystem::exists(url, error)) {
    foundation::writeLogLine("MIDIPhrase: Error: The pattern file does not exist.");
    return;
  }
  currentURL = url;
  events.clear();
  currentID = 0;
  collectedNotes_.clear();

  sequence = MIDISequence16::create();
  sequence->delegate = listening(*this);
  sequence->loadFromFile(url);
  sequence->musicSequenceToSequenceNode();
  sequence->delegate.reset();
  collectedNotes_.clear();

  const double length = sequence->sequenceLength;
  foundation::writeLogLine("MIDIPhrase: Sequence length is: " + foundation::numberText(length));
  currentLength = static_cast<int>(std::clamp(std::ceil(length), 0.0, phraseLimitBeats));
  std::stable_sort(events.begin(), events.end(),
                   [](const auto& a, const auto& b) { return a->position < b->position; });
}

void MIDIPhrase::savePhrase(const std::filesystem::path& url) {
  if (!sequence) return;
  sequence->saveToFile(url);
}

void MIDIPhrase::foundNoteEvent(const std::shared_ptr<MidiNoteEvent>& event) {
  if (!event || event->position > phraseLimitBeats) return;
  if (!collectedNotes_.emplace(event->channel, event->number, event->position).second) {
    foundation::writeLogLine("Warning: Duplicated note event (" + std::to_string(event->number) + ") at position " +
                             foundation::numberText(event->position) + ".");
    return;
  }
  const double duration = event->duration;
  auto start = std::make_shared<PhraseEvent>();
  start->id = currentID;
  start->type = PhraseEvent::noteStart;
  start->channel = static_cast<std::uint8_t>(channel);
  start->number = event->number;
  start->position = event->position;
  start->duration = duration;
  start->value = event->velocity;
  start->value2 = event->releaseVelocity;
  auto end = std::make_shared<PhraseEvent>(*start);
  end->type = PhraseEvent::noteEnd;
  end->position = std::min(event->position + duration, phraseLimitBeats);
  events.push_back(start);
  events.push_back(end);
  ++currentID;
}

void MIDIPhrase::foundControllerEvent(const std::shared_ptr<MidiControllerEvent>& event) {
  if (!event || event->position > phraseLimitBeats) return;
  auto record = std::make_shared<PhraseEvent>();
  record->id = currentID;
  record->type = PhraseEvent::controller;
  record->channel = event->channel;
  record->number = event->number;
  record->position = event->position;
  record->duration = 0.0;
  record->value = event->value;
  record->value2 = 0;
  events.push_back(record);
  ++currentID;
}

void MIDIPhrase::foundMetaMarkerEvent(const std::shared_ptr<MetaMarkerEvent>& event) {
  if (!event) return;
  foundation::writeLogLine("marker: " + foundation::numberText(event->position));
}
