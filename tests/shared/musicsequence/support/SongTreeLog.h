#pragma once
// Listings of song trees for the sequence tests: one line per event, "<beats> <class> <fields>", for example
// "1.0 MidiNoteEvent 2 60 100 64 0.5", "0.0 MidiControllerEvent 0 7 100", "0.0 TempoEvent 120.0",
// "0.0 MetaTrackNameEvent 03 50 69" (meta type, then data), "0.0 SystemExclusiveEvent F0 7E F7"; payloads longer
// than 16 bytes are listed as their byte count ("5000 bytes").

#include <cstdio>
#include <string>
#include <vector>

#include "platform/foundation/NumberText.h"
#include "shared/midievents/MIDIEvents.h"
#include "shared/songtree/SequenceNode.h"

namespace sequencetest {

inline std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() > 16) return " " + std::to_string(bytes.size()) + " bytes";
  std::string text;
  char hex[4];
  for (std::uint8_t byte : bytes) {
    std::snprintf(hex, sizeof hex, " %02X", byte);
    text += hex;
  }
  return text;
}

inline std::string describeNode(const EventNode& node) {
  std::string line = foundation::numberText(node.position) + " " + std::string(eventKindName(node.kind()));
  const auto numbers = [&](std::initializer_list<int> values) {
    for (int value : values) line += " " + std::to_string(value);
  };
  switch (node.kind()) {
    case EventKind::MidiNoteEvent: {
      const auto& note = static_cast<const MidiNoteEvent&>(node);
      numbers({note.channel, note.number, note.velocity, note.releaseVelocity});
      line += " " + foundation::numberText(note.duration);
      break;
    }
    case EventKind::MidiControllerEvent: {
      const auto& e = static_cast<const MidiControllerEvent&>(node);
      numbers({e.channel, e.number, e.value});
      break;
    }
    case EventKind::MidiPolyPressureEvent: {
      const auto& e = static_cast<const MidiPolyPressureEvent&>(node);
      numbers({e.channel, e.number, e.value});
      break;
    }
    case EventKind::MidiProgramChangeEvent: {
      const auto& e = static_cast<const MidiProgramChangeEvent&>(node);
      numbers({e.channel, e.value});
      break;
    }
    case EventKind::MidiChannelPressureEvent: {
      const auto& e = static_cast<const MidiChannelPressureEvent&>(node);
      numbers({e.channel, e.value});
      break;
    }
    case EventKind::MidiPitchBendEvent: {
      const auto& e = static_cast<const MidiPitchBendEvent&>(node);
      numbers({e.channel, e.bend.msb, e.bend.lsb});
      break;
    }
    case EventKind::TempoEvent:
      line += " " + foundation::numberText(static_cast<const TempoEvent&>(node).value);
      break;
    default:
      if (const auto* meta = dynamic_cast<const MetaEvent*>(&node)) {
        line += hexBytes({meta->type}) + hexBytes(meta->data);
      } else if (const auto* user = dynamic_cast<const UserEvent*>(&node)) {
        line += hexBytes(user->data);
      }
  }
  return line;
}

inline std::vector<std::string> trackLog(const TrackNode& track) {
  std::vector<std::string> lines;
  for (const auto& event : track.events) lines.push_back(describeNode(*event));
  return lines;
}

// The tempo track's listing, then every track's.
inline std::vector<std::vector<std::string>> treeLog(const SequenceNode& tree) {
  std::vector<std::vector<std::string>> log{trackLog(*tree.tempoTrack)};
  for (const auto& track : tree.tracks) log.push_back(trackLog(*track));
  return log;
}

}  // namespace sequencetest
