#include "shared/patterns/MatrixSections.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

constexpr std::size_t kInlineDataOffset = offsetof(AUMIDIEvent, data);

}  // namespace

MatrixSections::MatrixSections() {
  allEvents.reserve(kRoom);
  for (auto& section : sections) section = std::make_shared<MatrixTracks>();
}

void MatrixSections::start(AUEventSampleTime time) {
  for (const auto& section : sections) {
    for (const auto& player : section->tracks) player->start(time);
  }
}

void MatrixSections::stop() {
  for (const auto& section : sections) {
    for (const auto& player : section->tracks) player->stop();
  }
}

void MatrixSections::append(const AUMIDIEvent& event) noexcept {
  const std::size_t bytes = kInlineDataOffset + event.length;
  if (allEvents.size() >= kRoom || bytes > kEntryBytes) {
    ++droppedEvents_;
    return;
  }
  Entry& entry = allEvents.emplace_back();  // zero-filled
  // The record and the message bytes that follow it inside the player's list entry.
  std::memcpy(entry.bytes, &event, std::max(bytes, sizeof(AUMIDIEvent)));
  entry.event.head.next = nullptr;
}

const AURenderEvent* MatrixSections::process(AUEventSampleTime time, AUAudioFrameCount frameCount) noexcept {
  allEvents.clear();
  for (const auto& section : sections) {
    for (const auto& player : section->tracks) {
      for (const AURenderEvent* event = player->process(time, frameCount); event != nullptr;
           event = event->head.next) {
        if (event->head.eventType == AURenderEventMIDI || event->head.eventType == AURenderEventMIDISysEx) {
          append(event->MIDI);
        }
      }
    }
  }
  if (allEvents.empty()) return nullptr;
  for (std::size_t i = 0; i + 1 < allEvents.size(); ++i) allEvents[i].event.head.next = &allEvents[i + 1].event;
  return &allEvents.front().event;
}

void MatrixSections::deallocateRealtimeEventListHead(const AURenderEvent* head) noexcept {
  if (head != nullptr && !allEvents.empty() && head == &allEvents.front().event) allEvents.clear();
}
