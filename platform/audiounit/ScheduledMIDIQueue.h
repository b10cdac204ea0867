#pragma once
// The queue behind a unit's schedule-MIDI block: any number of threads push messages, the render thread takes them
// all at its next render. Bounded and lock-free (D. Vyukov's bounded queue: each slot carries a sequence number that
// says whose turn it is), so neither side ever waits or allocates after construction. A message longer than one slot
// takes as many consecutive slots as it needs, claimed at once and handed over whole.

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/audiounit/RenderEvent.h"

class ScheduledMIDIQueue {
public:
    // Message bytes one slot holds.
    static constexpr uint32_t kSlotBytes = 256;
    // Longest message: the most a render event's length field can carry.
    static constexpr uint32_t kMaximumMessageBytes = 0xFFFF;

    struct Header {
        AUEventSampleTime sampleTime;
        uint8_t cable;
        uint16_t length;
    };

    // capacity: slots. The default holds a message of kMaximumMessageBytes.
    explicit ScheduledMIDIQueue(uint32_t capacity = 512);
    ScheduledMIDIQueue(const ScheduledMIDIQueue&) = delete;
    ScheduledMIDIQueue& operator=(const ScheduledMIDIQueue&) = delete;

    // Any thread. Copies the message; false (and counted as dropped) when too few slots are free, the message is
    // empty or longer than kMaximumMessageBytes. Messages pushed by one thread are taken in the order pushed.
    bool push(AUEventSampleTime sampleTime, uint8_t cable, int64_t length, const uint8_t* bytes) noexcept;

    // The one consumer thread (the render thread). The length of the oldest message; 0 when none waits.
    uint32_t frontLength() const noexcept;
    // The one consumer thread. Takes the oldest message: its header into header, its bytes into the capacity bytes
    // at bytes. False, taking nothing, when none waits or it is longer than capacity.
    bool pop(Header& header, uint8_t* bytes, uint32_t capacity) noexcept;

    uint64_t droppedCount() const { return dropped_.load(std::memory_order_relaxed); }

private:
    struct Slot {
        std::atomic<uint64_t> sequence;
        Header header;  // the first slot of a message only
        uint8_t bytes[kSlotBytes];
    };

    static uint64_t slotsFor(uint64_t length) { return (length + kSlotBytes - 1) / kSlotBytes; }
    Slot& slotAt(uint64_t position) const { return slots_[position % capacity_]; }
    void write(uint64_t position, uint64_t slots, const Header& header, const uint8_t* bytes) noexcept;

    uint64_t capacity_;
    std::unique_ptr<Slot[]> slots_;
    alignas(64) std::atomic<uint64_t> enqueue_{0};
    alignas(64) std::atomic<uint64_t> dequeue_{0};
    std::atomic<uint64_t> dropped_{0};
    static_assert(std::atomic<uint64_t>::is_always_lock_free);
};
