#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/MIDITypes.h"

// One MIDI endpoint as the configuration tables list it.
// Threads: the fields are set on the main queue before the record is listed; `active` may be read on the thread
// that sends the instrument's MIDI output while the main queue flips it.
class MIDIObject {
public:
    midi::MIDIEndpointRef object = 0;
    std::int64_t io = 0;  // 1: source (we receive from it); 0: destination
    std::int64_t uid = 0;
    std::string name;
    std::atomic<bool> active{false};  // source connected to the input port, or destination receiving the output
    bool thru = false;
};

using MIDIObjectList = std::vector<std::shared_ptr<MIDIObject>>;
