#pragma once
// Joins the messages waiting in a ScheduledMIDIQueue to the host's render-event list for one render call. Entries are
// built in preallocated storage (a header plus room for the whole message), so the render thread never allocates.
//
// The joined list holds the scheduled messages in the order they were queued and the host's events in their order,
// merged by sample time (a scheduled message goes before host events of the same or a later time). The host's own
// entries are never changed: a host message longer than ScheduledMIDIQueue::kSlotBytes, and whatever follows it, is
// linked in unchanged at the end.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/audiounit/RenderEvent.h"
#include "platform/audiounit/ScheduledMIDIQueue.h"

class ScheduledEventMerger {
public:
    // capacity: entries available per render call, shared by scheduled messages and copies of host events. At most
    // half of them take scheduled messages, and one message of ScheduledMIDIQueue::kMaximumMessageBytes fits in a
    // call; the rest of the queue waits for the next call.
    explicit ScheduledEventMerger(uint32_t capacity = 1024);

    // Render thread. Returns the head of the list to hand to the unit (the host's own head when nothing waits). Valid
    // until the next call.
    const AURenderEvent* merge(ScheduledMIDIQueue& queue, const AURenderEvent* hostEvents) noexcept;

private:
    // The next bytes of storage as an entry.
    AURenderEvent* take(size_t bytes) noexcept;
    // Copies a host event into a new entry; nullptr when it does not fit in a short entry.
    AURenderEvent* copyHostEvent(const AURenderEvent& event) noexcept;

    uint32_t capacity_;
    size_t storageBytes_;
    std::unique_ptr<AURenderEvent[]> storage_;  // not zero-filled: each entry is written before it is read
    size_t used_ = 0;  // bytes of storage taken in this call
    std::unique_ptr<AURenderEvent*[]> entries_;
};
