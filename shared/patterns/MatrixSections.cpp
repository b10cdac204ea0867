#include "shared/patterns/MatrixSections.h"

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

const AURenderEvent* MatrixSections::process(AUEventSampleTime time, AUAudioFrameCount frameCount) noexcept {
  allEvents.clear();
  for (const auto& section : sections) {
    for (const auto& player : section->tracks) {
      for (const AUMIDIEvent& record : player->processInternal(time, frameCount)) {
        AURenderEvent& entry = allEvents.emplace_back();  // zero-filled; within the reserved room
        entry.MIDI = record;
      }
    }
  }
  if (allEvents.empty()) return nullptr;
  for (std::size_t i = 0; i + 1 < allEvents.size(); ++i) allEvents[i].head.next = &allEvents[i + 1];
  return &allEvents.front();
}

void MatrixSections::deallocateRealtimeEventListHead(const AURenderEvent* head) noexcept {
  if (head != nullptr && !allEvents.empty() && head == &allEvents.front()) allEvents.clear();
}
