#include "shared/midievents/ChannelEvents.h"

#include <string>

#include "platform/foundation/NumberText.h"

void MidiNoteEvent::dumpout() const {
  EventNode::dumpout();
  dumpLine("duration", foundation::numberText(duration));
  dumpLine("number", std::to_string(number));
  dumpLine("velocity", std::to_string(velocity));
  dumpLine("releaseVelocity", std::to_string(releaseVelocity));
}
