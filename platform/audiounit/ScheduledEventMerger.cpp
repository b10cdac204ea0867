#include "platform/audiounit/ScheduledEventMerger.h"

#include <algorithm>
#include <cstring>

namespace {

// Storage bytes of an entry whose message has length bytes.
constexpr size_t entryBytes(size_t length) {
    const size_t bytes = offsetof(AUMIDIEvent, data) + std::max<size_t>(3, length);
    return (bytes + sizeof(AURenderEvent) - 1) / sizeof(AURenderEvent) * sizeof(AURenderEvent);
}

// Room for a host event that is copied, and for a scheduled message of one queue slot.
constexpr size_t kShortEntryBytes = entryBytes(ScheduledMIDIQueue::kSlotBytes);

}  // namespace

ScheduledEventMerger::ScheduledEventMerger(uint32_t capacity)
    : capacity_(std::max<uint32_t>(2, capacity)),
      storageBytes_(capacity_ * kShortEntryBytes + entryBytes(ScheduledMIDIQueue::kMaximumMessageBytes)),
      storage_(std::make_unique_for_overwrite<AURenderEvent[]>(storageBytes_ / sizeof(AURenderEvent))),
      entries_(std::make_unique_for_overwrite<AURenderEvent*[]>(capacity_)) {}

AURenderEvent* ScheduledEventMerger::take(size_t bytes) noexcept {
    auto* entry = reinterpret_cast<AURenderEvent*>(reinterpret_cast<unsigned char*>(storage_.get()) + used_);
    used_ += bytes;
    return entry;
}

AURenderEvent* ScheduledEventMerger::copyHostEvent(const AURenderEvent& event) noexcept {
    const auto type = event.head.eventType;
    size_t bytes = sizeof(AURenderEventHeader);
    if (type == AURenderEventParameter || type == AURenderEventParameterRamp) {
        bytes = sizeof(AUParameterEvent);
    } else if (type == AURenderEventMIDI || type == AURenderEventMIDISysEx) {
        bytes = offsetof(AUMIDIEvent, data) + std::max<size_t>(3, event.MIDI.length);
        if (bytes > kShortEntryBytes) return nullptr;
    }
    AURenderEvent* entry = take(kShortEntryBytes);
    std::memcpy(entry, &event, bytes);
    return entry;
}

const AURenderEvent* ScheduledEventMerger::merge(ScheduledMIDIQueue& queue, const AURenderEvent* hostEvents) noexcept {
    used_ = 0;
    // Scheduled messages first, into entries [0, scheduled). Each leaves room for host copies in every entry after
    // it, so those always fit.
    uint32_t scheduled = 0;
    while (scheduled < capacity_ / 2) {
        const uint32_t length = queue.frontLength();
        const size_t bytes = entryBytes(length);
        if (length == 0 || used_ + bytes + (capacity_ - scheduled - 1) * kShortEntryBytes > storageBytes_) break;
        AUMIDIEvent& midi = take(bytes)->MIDI;
        std::memset(midi.data, 0, sizeof midi.data);
        ScheduledMIDIQueue::Header header{};
        queue.pop(header, midi.data, length);
        midi.next = nullptr;
        midi.eventSampleTime = header.sampleTime;
        midi.eventType = midi.data[0] == 0xF0 ? AURenderEventMIDISysEx : AURenderEventMIDI;
        midi.reserved = 0;
        midi.length = header.length;
        midi.cable = header.cable;
        entries_[scheduled++] = reinterpret_cast<AURenderEvent*>(&midi);
    }
    if (scheduled == 0) return hostEvents;

    // Copies of the host's events into [scheduled, copied); what does not fit stays where it is.
    uint32_t copied = scheduled;
    const AURenderEvent* hostRest = hostEvents;
    while (hostRest != nullptr && copied < capacity_) {
        AURenderEvent* copy = copyHostEvent(*hostRest);
        if (copy == nullptr) break;
        entries_[copied++] = copy;
        hostRest = hostRest->head.next;
    }

    AURenderEvent* head = nullptr;
    AURenderEvent** link = &head;
    uint32_t s = 0;
    uint32_t h = scheduled;
    while (s < scheduled || h < copied) {
        const bool takeScheduled =
            h == copied || (s < scheduled && entries_[s]->head.eventSampleTime <= entries_[h]->head.eventSampleTime);
        AURenderEvent* next = takeScheduled ? entries_[s++] : entries_[h++];
        *link = next;
        link = &next->head.next;
    }
    *link = const_cast<AURenderEvent*>(hostRest);
    return head;
}
