#include "shared/songtree/PatternNode.h"

#include <algorithm>
#include <atomic>

#include "platform/foundation/Log.h"
#include "platform/foundation/NumberText.h"
#include "shared/midievents/ObjectDescription.h"
#include "shared/songtree/SequenceNode.h"

namespace {

// Numbers the events of nodes that belong to no tree. Atomic: free patterns may be filled on several threads.
std::atomic<int64_t> freeNodeEventUID{1};

const char* flagText(bool flag) { return flag ? "true" : "false"; }

void logEventIndexBeyondList(std::size_t index, std::size_t count) {
  foundation::writeLogLine("Warnung: Der Event Index " + std::to_string(index) + " liegt außerhalb der Liste (" +
                           std::to_string(count) + " Events).");
}

}  // namespace

std::shared_ptr<EventNode> PatternNode::getEvent(int64_t uid) {
  auto found = std::find_if(events.begin(), events.end(), [uid](const auto& e) { return e->uid == uid; });
  return found == events.end() ? std::make_shared<EventNode>() : *found;
}

int64_t PatternNode::addEvent(const std::shared_ptr<EventNode>& event) {
  event->pattern = weak_from_this();
  return appendEvent(event);
}

bool PatternNode::removeEventUid(int64_t uid) {
  auto found = std::find_if(events.begin(), events.end(), [uid](const auto& e) { return e->uid == uid; });
  if (found == events.end()) return false;
  events.erase(found);
  return true;
}

bool PatternNode::removeEvent(const std::shared_ptr<EventNode>& event) {
  auto found = std::find(events.begin(), events.end(), event);
  if (found == events.end()) return false;
  events.erase(found);
  return true;
}

void PatternNode::removeEventAtIndex(std::size_t index) {
  if (index >= events.size()) {
    logEventIndexBeyondList(index, events.size());
    return;
  }
  events.erase(events.begin() + static_cast<std::ptrdiff_t>(index));
}

std::vector<std::shared_ptr<EventNode>> PatternNode::getElementsOfClass(EventKind type, double, double) const {
  std::vector<std::shared_ptr<EventNode>> found;
  for (const auto& event : events) {
    if (event->isKindOf(type)) found.push_back(event);
  }
  return found;
}

std::shared_ptr<EventNode> PatternNode::eventChildAtIndex(std::size_t index) const {
  if (index >= events.size()) {
    logEventIndexBeyondList(index, events.size());
    return nullptr;
  }
  return events[index];
}

void PatternNode::dumpout() const {
  auto print = [](const std::string& line) { foundation::writeLogLine(line); };
  print("\tsequence: " + objectDescription("SequenceNode", sequence.lock().get()) + ".");
  print("\ttrack: " + objectDescription("TrackNode", track.lock().get()) + ".");
  print("\tid: " + std::to_string(id) + ".");
  print("\tchannel: " + std::to_string(channel) + ".");
  print("\toffset: " + foundation::numberText(offset) + ".");
  print("\tbars: " + std::to_string(bars) + ".");
  print("\tbeats: " + std::to_string(beats) + ".");
  print(std::string("\tloop: ") + flagText(loop) + ".");
  print(std::string("\tmute: ") + flagText(mute) + ".");
  print(std::string("\tsolo: ") + flagText(solo) + ".");
  dumpEvents();
}

std::string PatternNode::debugDescription() const { return objectDescription(className(), this); }

int64_t PatternNode::appendEvent(const std::shared_ptr<EventNode>& event) {
  if (auto tree = sequence.lock()) {
    event->uid = tree->takeNextEventUID();
  } else {
    event->uid = freeNodeEventUID.fetch_add(1, std::memory_order_relaxed);
  }
  events.push_back(event);
  return event->uid;
}

void PatternNode::dumpEvents() const {
  foundation::writeLogLine("\n\tDie Anzahl der Events ist " + std::to_string(events.size()) + ".");
  foundation::writeLogLine("\tEvents:");
  for (const auto& event : events) {
    foundation::writeLogLine("\n\t\tEvent " + event->debugDescription() + ":");
    event->dumpout();
  }
}
