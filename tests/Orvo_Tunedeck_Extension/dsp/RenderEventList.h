#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/audiounit/RenderEvent.h"

// A host's list of render events for one call: MIDI messages of up to three bytes, parameter events and events of
// other types, linked in the order added.
class RenderEventList {
public:
    RenderEventList& midi(AUEventSampleTime time, std::initializer_list<std::uint8_t> bytes) {
        AURenderEvent event{};
        event.MIDI.eventSampleTime = time;
        event.MIDI.eventType = AURenderEventMIDI;
        event.MIDI.length = static_cast<std::uint16_t>(bytes.size());
        std::uint8_t* data = event.MIDI.data;
        for (const std::uint8_t byte : bytes) *data++ = byte;
        events_.push_back(event);
        return *this;
    }
    // Note-on on channel 1.
    RenderEventList& noteOn(AUEventSampleTime time, std::uint8_t note, std::uint8_t velocity = 100) {
        return midi(time, {0x90, note, velocity});
    }
    RenderEventList& parameter(AUEventSampleTime time, AURenderEventType type, AUParameterAddress address,
                               AUValue value) {
        AURenderEvent event{};
        event.parameter.eventSampleTime = time;
        event.parameter.eventType = type;
        event.parameter.parameterAddress = address;
        event.parameter.value = value;
        events_.push_back(event);
        return *this;
    }
    RenderEventList& other(AUEventSampleTime time, std::uint8_t type) {
        AURenderEvent event{};
        event.head.eventSampleTime = time;
        event.head.eventType = static_cast<AURenderEventType>(type);
        events_.push_back(event);
        return *this;
    }
    // The list's first entry, or nullptr; valid until the list changes.
    const AURenderEvent* head() {
        for (std::size_t i = 0; i + 1 < events_.size(); ++i) events_[i].head.next = &events_[i + 1];
        if (!events_.empty()) events_.back().head.next = nullptr;
        return events_.empty() ? nullptr : &events_.front();
    }

private:
    std::vector<AURenderEvent> events_;
};
