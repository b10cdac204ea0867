#include "shared/songtree/TrackNode.h"

#include <algorithm>

#include "platform/foundation/Log.h"
#include "shared/midievents/ObjectDescription.h"
#include "shared/songtree/SequenceNode.h"

namespace {

void logPatternIndexBeyondList(std::size_t index, std::size_t count) {
  foundation::writeLogLine("Warnung: Der Pattern Index " + std::to_string(index) + " liegt außerhalb der Liste (" +
                           std::to_string(count) + " Patterns).");
}

}  // namespace

TrackNode::TrackNode() {
  text = "Spur Beschreibung";
  name = "Spur Name";
}

int64_t TrackNode::addEvent(const std::shared_ptr<EventNode>& event) {
  event->track = std::static_pointer_cast<TrackNode>(weak_from_this().lock());
  return appendEvent(event);
}

void TrackNode::dumpout() const {
  foundation::writeLogLine("\tsequence: " + objectDescription("SequenceNode", sequence.lock().get()) + ".");
  foundation::writeLogLine(std::string("\tisTempoTrack: ") + (isTempoTrack ? "true" : "false") + ".");
  foundation::writeLogLine("\tchannel: " + std::to_string(channel) + ".");
  dumpEvents();
  foundation::writeLogLine("\n\tDie Anzahl der Patterns ist " + std::to_string(patterns.size()) + ".");
  foundation::writeLogLine("\tPatterns:");
  for (const auto& pattern : patterns) {
    foundation::writeLogLine("\n\t\tPattern " + pattern->debugDescription() + ":");
    pattern->dumpout();
  }
}

void TrackNode::clear() {
  clearEvents();
  clearPatterns();
}

std::shared_ptr<PatternNode> TrackNode::getPattern(uint16_t id) {
  auto found = std::find_if(patterns.begin(), patterns.end(), [id](const auto& p) { return p->id == id; });
  return found == patterns.end() ? std::make_shared<PatternNode>() : *found;
}

uint16_t TrackNode::addPattern(const std::shared_ptr<PatternNode>& pattern) {
  const std::shared_ptr<SequenceNode> tree = sequence.lock();
  const bool numberedElsewhere = tree && pattern->sequence.lock() != tree;
  const auto self = std::static_pointer_cast<TrackNode>(weak_from_this().lock());
  pattern->sequence = sequence;
  pattern->track = self;
  for (const auto& event : pattern->events) {
    event->track = self;
    if (numberedElsewhere) event->uid = tree->takeNextEventUID();
  }
  patterns.push_back(pattern);
  return pattern->id;
}

bool TrackNode::removePatternId(uint16_t id) {
  auto found = std::find_if(patterns.begin(), patterns.end(), [id](const auto& p) { return p->id == id; });
  if (found == patterns.end()) return false;
  patterns.erase(found);
  return true;
}

bool TrackNode::removePattern(const std::shared_ptr<PatternNode>& pattern) {
  auto found = std::find(patterns.begin(), patterns.end(), pattern);
  if (found == patterns.end()) return false;
  patterns.erase(found);
  return true;
}

void TrackNode::removePatternAtIndex(std::size_t index) {
  if (index >= patterns.size()) {
    logPatternIndexBeyondList(index, patterns.size());
    return;
  }
  patterns.erase(patterns.begin() + static_cast<std::ptrdiff_t>(index));
}

std::shared_ptr<PatternNode> TrackNode::patternChildAtIndex(std::size_t index) const {
  if (index >= patterns.size()) {
    logPatternIndexBeyondList(index, patterns.size());
    return nullptr;
  }
  return patterns[index];
}
