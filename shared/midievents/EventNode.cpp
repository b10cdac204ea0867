#include "shared/midievents/EventNode.h"

#include "platform/foundation/NumberText.h"
#include "shared/globals/Print.h"
#include "shared/midievents/ObjectDescription.h"

uint8_t EventNode::getStausByte() const {
  if (!statusByteFits()) {
    safeprint("Fehler: Das Status Byte " + std::to_string(statusMask + channel) +
              " ist größer als 255 und wurde auf 255 begrenzt.");
    return 0xFF;
  }
  return static_cast<uint8_t>(statusMask + channel);
}

std::string EventNode::toHex(uint8_t value) { return "0x" + foundation::hexText2X(value); }

std::string EventNode::debugDescription() const { return objectDescription(eventKindName(kind()), this); }

void EventNode::dumpout() const {
  dumpLine("pattern", objectDescription("PatternNode", pattern.lock().get()));
  dumpLine("track", objectDescription("TrackNode", track.lock().get()));
  dumpLine("uid", std::to_string(uid));
  dumpLine("status mask", std::to_string(statusMask));
  dumpLine("status byte", std::to_string(statusMask + channel));
  dumpLine("position", foundation::numberText(position));
  dumpLine("channel", std::to_string(channel));
}

void EventNode::dumpLine(std::string_view label, std::string_view value) {
  safeprint("\t\t" + std::string(label) + ": " + std::string(value) + ".");
}
