#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <ostream>
#include <vector>

#include "platform/audiounit/RenderEvent.h"
#include "shared/events/MIDIBytes.h"

// Builds a host-style render-event list in the order of the calls; each MIDI entry is sized for its whole message,
// so that AddressSanitizer catches any read past it.
class EventListBuilder {
public:
    EventListBuilder& midi(AUEventSampleTime time, std::vector<std::uint8_t> bytes, std::uint8_t cable = 0,
                           AURenderEventType type = AURenderEventMIDI) {
        const std::size_t size = std::max(sizeof(AURenderEvent), offsetof(AUMIDIEvent, data) + bytes.size());
        auto memory = std::make_unique<std::uint64_t[]>((size + 7) / 8);
        auto* entry = new (memory.get()) AURenderEvent{
            .MIDI = {nullptr, time, type, 0, static_cast<std::uint16_t>(bytes.size()), cable, {0, 0, 0}}};
        if (!bytes.empty()) {
            std::memcpy(reinterpret_cast<std::uint8_t*>(memory.get()) + offsetof(AUMIDIEvent, data), bytes.data(),
                        bytes.size());
        }
        link(entry, std::move(memory));
        return *this;
    }

    EventListBuilder& sysex(AUEventSampleTime time, std::vector<std::uint8_t> bytes) {
        return midi(time, std::move(bytes), 0, AURenderEventMIDISysEx);
    }

    EventListBuilder& parameter(AUEventSampleTime time, AURenderEventType type, AUAudioFrameCount rampFrames,
                                AUParameterAddress address, AUValue value, std::array<std::uint8_t, 3> reserved = {}) {
        auto memory = std::make_unique<std::uint64_t[]>(sizeof(AURenderEvent) / 8);
        auto* entry = new (memory.get())
            AURenderEvent{.parameter = {nullptr, time, type, {reserved[0], reserved[1], reserved[2]}, rampFrames, address, value}};
        link(entry, std::move(memory));
        return *this;
    }

    const AURenderEvent* head() const { return head_; }

private:
    void link(AURenderEvent* entry, std::unique_ptr<std::uint64_t[]> memory) {
        if (tail_ != nullptr) {
            tail_->head.next = entry;
        } else {
            head_ = entry;
        }
        tail_ = entry;
        storage_.push_back(std::move(memory));
    }

    std::vector<std::unique_ptr<std::uint64_t[]>> storage_;
    AURenderEvent* head_ = nullptr;
    AURenderEvent* tail_ = nullptr;
};

// One entry of a list as the tests compare it: time, type, cable and message bytes.
struct ListedEvent {
    AUEventSampleTime time;
    std::uint8_t type;
    std::uint8_t cable;
    std::vector<std::uint8_t> bytes;

    bool operator==(const ListedEvent&) const = default;
};

inline std::vector<ListedEvent> listed(const AURenderEvent* head) {
    std::vector<ListedEvent> events;
    for (const AURenderEvent* e = head; e != nullptr; e = e->head.next) {
        const AUMIDIEvent& m = e->MIDI;
        const std::uint8_t* bytes = midiBytes(m);
        events.push_back({m.eventSampleTime, m.eventType, m.cable, std::vector<std::uint8_t>(bytes, bytes + m.length)});
    }
    return events;
}

inline std::ostream& operator<<(std::ostream& out, const ListedEvent& e) {
    out << "{t=" << e.time << " type=" << int(e.type) << " cable=" << int(e.cable) << " bytes=";
    for (std::uint8_t b : e.bytes) {
        out << ' ' << std::hex << int(b) << std::dec;
    }
    return out << '}';
}
