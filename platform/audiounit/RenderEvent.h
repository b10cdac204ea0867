#pragma once

#include <cstdint>

// The events a host hands to a unit's render call: a singly linked list, each entry valid for that call only.
// Field order and widths are fixed; list tools walk and copy these records byte for byte.
//
// Plain data; the thread that renders owns a list while it is being rendered.

// Sample time of an event; for events scheduled for "now", kAUEventSampleTimeImmediate plus a frame offset.
using AUEventSampleTime = std::int64_t;
using AUAudioFrameCount = std::uint32_t;
using AUParameterAddress = std::uint64_t;
using AUValue = float;

// Base of "immediate" sample times: an event at kAUEventSampleTimeImmediate + k takes effect k frames into the
// buffer being rendered.
inline constexpr AUEventSampleTime kAUEventSampleTimeImmediate = -(std::int64_t{1} << 32);

enum AURenderEventType : std::uint8_t {
    AURenderEventParameter = 1,
    AURenderEventParameterRamp = 2,
    AURenderEventMIDI = 8,
    AURenderEventMIDISysEx = 9,
};

union AURenderEvent;

// The fields every entry starts with.
struct AURenderEventHeader {
    AURenderEvent* next;
    AUEventSampleTime eventSampleTime;
    AURenderEventType eventType;
    std::uint8_t reserved;
};

// Types 1 and 2: a parameter change, immediate or ramped over rampDurationSampleFrames.
struct AUParameterEvent {
    AURenderEvent* next;
    AUEventSampleTime eventSampleTime;
    AURenderEventType eventType;
    std::uint8_t reserved[3];
    AUAudioFrameCount rampDurationSampleFrames;
    AUParameterAddress parameterAddress;
    AUValue value;
};

// Types 8 and 9: one MIDI message of length bytes. The first three bytes sit in data; a longer message (system
// exclusive) continues in the memory that follows data, inside the same entry.
struct AUMIDIEvent {
    AURenderEvent* next;
    AUEventSampleTime eventSampleTime;
    AURenderEventType eventType;
    std::uint8_t reserved;
    std::uint16_t length;
    std::uint8_t cable;
    std::uint8_t data[3];
};

// One list entry, seen through the view its eventType selects.
union AURenderEvent {
    AURenderEventHeader head;
    AUParameterEvent parameter;
    AUMIDIEvent MIDI;
};
