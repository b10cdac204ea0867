#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audiounit/RenderEvent.h"
#include "platform/dispatch/MainQueue.h"
#include "shared/events/AUMIDIEventEx.h"
#include "shared/events/MIDIBytes.h"
#include "shared/playback/AUMIDISequencer.h"

// One event of a test song: its position in beats and its bytes.
struct SongEvent {
    double beats;
    std::vector<std::uint8_t> bytes;
};

// The test songs' conversion: sample time = ⌊beats × rate / 2⌋, type 9 for tempo markers, system exclusive and meta
// rows, 8 otherwise, cable 1 (0 for markers).
inline AUMIDISequencer::Conversion songConversion(std::vector<SongEvent> song) {
    return [song = std::move(song)](double samplerate) {
        AUMIDISequencer::Events events;
        for (const SongEvent& entry : song) {
            const auto time = static_cast<AUEventSampleTime>(entry.beats * samplerate * 0.5);
            const bool system = entry.bytes[0] >= 0xF0;
            auto event = std::make_shared<AUMIDIEventEx>(system ? 9 : 8, entry.bytes,
                                                         static_cast<std::uint32_t>(entry.bytes.size()), time);
            event->pEvent()->cable = entry.bytes[0] == 0xFD ? 0 : 1;
            event->beats = entry.beats;
            events.push_back(event);
        }
        return events;
    };
}

// A tempo marker for bpm beats per minute.
inline SongEvent tempoMarker(double beats, std::uint8_t bpm) {
    const auto micros = static_cast<std::uint32_t>(60000000.0 / bpm);
    return {beats, {0xFD, 0x51, bpm, 0xFF, 0x51, 0x03, static_cast<std::uint8_t>(micros >> 16),
                    static_cast<std::uint8_t>(micros >> 8), static_cast<std::uint8_t>(micros)}};
}

// One event of a returned list, copied.
struct Out {
    AUEventSampleTime time;
    std::uint8_t type;
    std::uint8_t cable;
    std::vector<std::uint8_t> bytes;
};

inline std::vector<Out> collect(const AURenderEvent* head) {
    std::vector<Out> out;
    for (const AURenderEvent* entry = head; entry != nullptr; entry = entry->head.next) {
        const AUMIDIEvent& event = entry->MIDI;
        out.push_back({event.eventSampleTime, static_cast<std::uint8_t>(event.eventType), event.cable,
                       std::vector<std::uint8_t>(midiBytes(event), midiBytes(event) + event.length)});
    }
    return out;
}

inline std::vector<std::uint8_t> b(std::initializer_list<int> bytes) {
    std::vector<std::uint8_t> out;
    for (int value : bytes) {
        out.push_back(static_cast<std::uint8_t>(value));
    }
    return out;
}

// The events of out that carry channel messages other than the player's own resets and releases.
inline std::vector<Out> songEventsOnly(const std::vector<Out>& out) {
    std::vector<Out> kept;
    for (const Out& event : out) {
        const std::uint8_t status = event.bytes[0];
        const bool control = (status & 0xF0) == 0xB0 && (event.bytes[1] == 123 || event.bytes[1] == 121 ||
                                                         event.bytes[1] == 64);
        const bool programReset = (status & 0xF0) == 0xC0 && event.bytes[1] == 0;
        const bool release = (status & 0xF0) == 0x90 && event.bytes[2] == 0;
        if (!control && !programReset && !release) {
            kept.push_back(event);
        }
    }
    return kept;
}
