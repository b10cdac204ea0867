// Event nodes for the pattern-sequence tests, and the kinds a pattern holds.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "shared/midievents/MIDIEvents.h"
#include "shared/songtree/PatternNode.h"

namespace patterntest {

template <class Node>
std::shared_ptr<Node> at(double position, std::uint8_t channel = 0) {
  auto node = std::make_shared<Node>();
  node->position = position;
  node->channel = channel;
  return node;
}

inline std::shared_ptr<MidiControllerEvent> controller(double position, std::uint8_t channel, std::uint8_t number,
                                                       std::uint8_t value) {
  auto node = at<MidiControllerEvent>(position, channel);
  node->number = number;
  node->value = value;
  return node;
}

inline std::shared_ptr<MidiNoteEvent> note(double position, std::uint8_t channel, std::uint8_t number,
                                           float duration) {
  auto node = at<MidiNoteEvent>(position, channel);
  node->number = number;
  node->velocity = 99;
  node->releaseVelocity = 40;
  node->duration = duration;
  return node;
}

// A node of a class that carries bytes (user, system-exclusive and meta events), holding bytes.
template <class Node>
std::shared_ptr<Node> withData(double position, const std::vector<std::uint8_t>& bytes) {
  auto node = at<Node>(position);
  node->setData(static_cast<std::uint32_t>(bytes.size()), bytes);
  return node;
}

// The kinds of a pattern's events, in order.
inline std::vector<EventKind> kinds(const PatternNode& pattern) {
  std::vector<EventKind> result;
  for (const auto& event : pattern.events) result.push_back(event->kind());
  return result;
}

}  // namespace patterntest
