#pragma once
// Joins the messages waiting in a ScheduledMIDIQueue to the host's render-event list for one render call. Entries are
// built in preallocated storage (a header plus room for the whole message), so the render thread never allocates.
//
// The joined list holds the scheduled messages in the order they were queued and the host's events in their order,
// merged by sample time (a scheduled message goes before host events of the same or a later time). The host's own entries are
// never changed: when the storage cannot copy all of them, the remaining ones are linked in unchanged at the end.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/audiounit/RenderEvent.h"
#include "platform/audiounit/ScheduledMIDIQueue.h"

class ScheduledEventMerger {
public:
    // capacity: entries available per render call, shared by scheduled messages and copies of host events. At most
    // half of them take scheduled messages; the rest of the queue waits for the next call.
    explicit ScheduledEventMerger(uint32_t capacity = 1024);

    // Render thread. Returns the head of the list to hand to the unit (the host's own head when nothing waits). Valid
    // until the next call.
    const AURenderEvent* merge(ScheduledMIDIQueue& queue, const AURenderEvent* hostEvents) noexcept;

private:
    // Room for the fixed part of a MIDI entry followed by the longest message.
    static constexpr size_t kEntryBytes =
        (offsetof(AUMIDIEvent, data) + ScheduledMIDIQueue::kMaximumMessageBytes + alignof(AURenderEvent) - 1) /
        alignof(AURenderEvent) * alignof(AURenderEvent);

    struct alignas(AURenderEvent) Entry {
        unsigned char bytes[kEntryBytes > sizeof(AURenderEvent) ? kEntryBytes : sizeof(AURenderEvent)];
    };

    AURenderEvent* entry(uint32_t index) noexcept { return reinterpret_cast<AURenderEvent*>(&entries_[index]); }
    // Copies a host event into entry index; false when it does not fit.
    bool copyHostEvent(const AURenderEvent& event, uint32_t index) noexcept;

    uint32_t capacity_;
    std::unique_ptr<Entry[]> entries_;
    ScheduledMIDIQueue::Message message_{};
};
