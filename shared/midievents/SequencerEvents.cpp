#include "shared/midievents/SequencerEvents.h"

#include "platform/foundation/NumberText.h"

void TempoEvent::dumpout() const {
  EventNode::dumpout();
  dumpLine("value", foundation::numberText(value));
}
