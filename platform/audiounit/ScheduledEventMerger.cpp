#include "platform/audiounit/ScheduledEventMerger.h"

#include <algorithm>
#include <cstring>

ScheduledEventMerger::ScheduledEventMerger(uint32_t capacity)
    : capacity_(std::max<uint32_t>(2, capacity)), entries_(new Entry[capacity_]()) {}

bool ScheduledEventMerger::copyHostEvent(const AURenderEvent& event, uint32_t index) noexcept {
    const auto type = event.head.eventType;
    size_t bytes = sizeof(AURenderEventHeader);
    if (type == AURenderEventParameter || type == AURenderEventParameterRamp) {
        bytes = sizeof(AUParameterEvent);
    } else if (type == AURenderEventMIDI || type == AURenderEventMIDISysEx) {
        bytes = offsetof(AUMIDIEvent, data) + std::max<size_t>(3, event.MIDI.length);
        if (bytes > sizeof(Entry)) return false;
    }
    std::memcpy(&entries_[index], &event, bytes);
    return true;
}

const AURenderEvent* ScheduledEventMerger::merge(ScheduledMIDIQueue& queue, const AURenderEvent* hostEvents) noexcept {
    // Scheduled messages first, into entries [0, scheduled).
    uint32_t scheduled = 0;
    while (scheduled < capacity_ / 2 && queue.pop(message_)) {
        AUMIDIEvent& midi = entry(scheduled)->MIDI;
        midi.next = nullptr;
        midi.eventSampleTime = message_.sampleTime;
        midi.eventType = message_.bytes[0] == 0xF0 ? AURenderEventMIDISysEx : AURenderEventMIDI;
        midi.reserved = 0;
        midi.length = message_.length;
        midi.cable = message_.cable;
        std::memset(midi.data, 0, sizeof midi.data);
        std::memcpy(midi.data, message_.bytes, message_.length);
        ++scheduled;
    }
    if (scheduled == 0) return hostEvents;

    // Copies of the host's events into [scheduled, copied); what does not fit stays where it is.
    uint32_t copied = scheduled;
    const AURenderEvent* hostRest = hostEvents;
    while (hostRest != nullptr && copied < capacity_ && copyHostEvent(*hostRest, copied)) {
        hostRest = hostRest->head.next;
        ++copied;
    }

    AURenderEvent* head = nullptr;
    AURenderEvent** link = &head;
    uint32_t s = 0;
    uint32_t h = scheduled;
    while (s < scheduled || h < copied) {
        const bool takeScheduled =
            h == copied || (s < scheduled && entry(s)->head.eventSampleTime <= entry(h)->head.eventSampleTime);
        AURenderEvent* next = takeScheduled ? entry(s++) : entry(h++);
        *link = next;
        link = &next->head.next;
    }
    *link = const_cast<AURenderEvent*>(hostRest);
    return head;
}
