#include "shared/songtree/SequenceNode.h"

#include <algorithm>

#include "platform/foundation/Log.h"
#include "shared/midievents/ObjectDescription.h"

namespace {

void print(const std::string& line) { foundation::writeLogLine(line); }

void printTrackLimit() {
  print("Fehler: Die Anzahl der Spuren ist auf " + std::to_string(SequenceNode::maxTracks) + " begrenzt");
}

}  // namespace

std::shared_ptr<SequenceNode> SequenceNode::create() {
  std::shared_ptr<SequenceNode> tree(new SequenceNode());
  tree->tempoTrack = tree->makeTrack(255);
  tree->tempoTrack->isTempoTrack = true;
  tree->addTrack();
  return tree;
}

std::shared_ptr<SequenceNode> SequenceNode::create(uint16_t numberOfTracks) {
  std::shared_ptr<SequenceNode> tree = create();
  if (numberOfTracks > maxTracks) {
    printTrackLimit();
    return tree;
  }
  if (numberOfTracks == 0) {
    print("Warnung: Eine Sequenz braucht mindestens eine Spur; sie wurde mit einer Spur angelegt.");
    return tree;
  }
  // Channels are one byte: tracks from index 256 on take their index modulo 256.
  for (uint16_t i = 1; i < numberOfTracks; ++i) tree->tracks.push_back(tree->makeTrack(static_cast<uint8_t>(i)));
  tree->numberOfTracks = static_cast<uint16_t>(tree->tracks.size());
  return tree;
}

uint16_t SequenceNode::addTrack() {
  if (tracks.size() >= maxTracks) {
    printTrackLimit();
    return 0;
  }
  tracks.push_back(makeTrack(0));
  numberOfTracks = static_cast<uint16_t>(tracks.size());
  return tracks.back()->id;
}

void SequenceNode::removeTrack(uint16_t id) {
  auto found = std::find_if(tracks.begin(), tracks.end(), [id](const auto& t) { return t->id == id; });
  if (found != tracks.end()) tracks.erase(found);
  numberOfTracks = static_cast<uint16_t>(tracks.size());
}

std::shared_ptr<TrackNode> SequenceNode::getrack(uint16_t id) const {
  auto found = std::find_if(tracks.begin(), tracks.end(), [id](const auto& t) { return t->id == id; });
  return found == tracks.end() ? nullptr : *found;
}

std::shared_ptr<TrackNode> SequenceNode::getTrack(uint16_t index) const {
  if (tracks.empty()) {
    print("Fehler: Die Sequenz enthält keine Spur.");
    return nullptr;
  }
  if (index >= tracks.size()) {
    print("Warnung: Der Spur Index wurde auf das Maximum (" + std::to_string(tracks.size()) + ") gesetzt. ");
    index = static_cast<uint16_t>(tracks.size() - 1);
  }
  return tracks[index];
}

void SequenceNode::clear() {
  tempoTrack->clearEvents();
  for (const auto& track : tracks) track->clear();
}

void SequenceNode::diagnostics() const {
  print("\n\n+++++++++++++++++++++++++++++++++++++ Sequence +++++++++++++++++++++++++++++++++++++START\n\n");
  print(debugDescription());
  print("\n\tTrack 0 / Tempo Track:");
  tempoTrack->dumpout();
  print("\nDie Anzahl der (Music) Tracks ist " + std::to_string(tracks.size()) + ".");
  print("Tracks:");
  for (const auto& track : tracks) {
    print("\n\tTrack " + track->debugDescription() + ":");
    track->dumpout();
  }
  print("\n\n+++++++++++++++++++++++++++++++++++++ Sequence ++++++++++++++++++++++++++++++++++++++STOP\n\n");
}

std::string SequenceNode::debugDescription() const { return objectDescription("SequenceNode", this); }

std::shared_ptr<TrackNode> SequenceNode::makeTrack(uint8_t channel) {
  auto track = std::make_shared<TrackNode>();
  track->channel = channel;
  track->sequence = weak_from_this();
  return track;
}
