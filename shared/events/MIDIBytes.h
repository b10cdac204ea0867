#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/audiounit/RenderEvent.h"

// Reading the message of a MIDI render event. The bytes start at the data field and run on into the entry's memory
// for length bytes; an entry must hold its whole message.
//
// Pure functions; any thread, render thread included.

inline bool isMIDIEntry(const AURenderEvent& entry) noexcept {
    return entry.head.eventType == AURenderEventMIDI || entry.head.eventType == AURenderEventMIDISysEx;
}

inline const std::uint8_t* midiBytes(const AUMIDIEvent& event) noexcept {
    return reinterpret_cast<const std::uint8_t*>(&event) + offsetof(AUMIDIEvent, data);
}

// Byte index of the message, or 0 past its length.
inline std::uint8_t midiByte(const AUMIDIEvent& event, std::size_t index) noexcept {
    return index < event.length ? midiBytes(event)[index] : 0;
}

inline std::uint8_t midiStatus(const AUMIDIEvent& event) noexcept {
    return midiByte(event, 0);
}
