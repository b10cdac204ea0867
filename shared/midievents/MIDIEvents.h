// Every class of the MIDI event object family.
#pragma once

#include "shared/midievents/ChannelEvents.h"
#include "shared/midievents/EventNode.h"
#include "shared/midievents/MetaEvents.h"
#include "shared/midievents/SequencerEvents.h"
#include "shared/midievents/SystemEvents.h"
#include "shared/midievents/UserEvents.h"
