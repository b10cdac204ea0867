#pragma once
// The queue behind a unit's schedule-MIDI block: any number of threads push messages, the render thread takes them
// all at its next render. Bounded and lock-free (D. Vyukov's bounded queue: each slot carries a sequence number that
// says whose turn it is), so neither side ever waits or allocates after construction.

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/audiounit/RenderEvent.h"

class ScheduledMIDIQueue {
public:
    // Longest message a slot holds, in bytes.
    static constexpr uint32_t kMaximumMessageBytes = 256;

    struct Message {
        AUEventSampleTime sampleTime;
        uint8_t cable;
        uint16_t length;
        uint8_t bytes[kMaximumMessageBytes];
    };

    explicit ScheduledMIDIQueue(uint32_t capacity = 512);
    ScheduledMIDIQueue(const ScheduledMIDIQueue&) = delete;
    ScheduledMIDIQueue& operator=(const ScheduledMIDIQueue&) = delete;

    // Any thread. Copies the message; false (and counted as dropped) when the queue is full, the message is empty or
    // longer than kMaximumMessageBytes. Messages pushed by one thread are taken in the order pushed.
    bool push(AUEventSampleTime sampleTime, uint8_t cable, int64_t length, const uint8_t* bytes) noexcept;

    // The one consumer thread (the render thread). Copies the oldest message into out; false when none waits.
    bool pop(Message& out) noexcept;

    uint64_t droppedCount() const { return dropped_.load(std::memory_order_relaxed); }

private:
    struct Slot {
        std::atomic<uint64_t> sequence;
        Message message;
    };

    uint64_t capacity_;
    std::unique_ptr<Slot[]> slots_;
    alignas(64) std::atomic<uint64_t> enqueue_{0};
    alignas(64) std::atomic<uint64_t> dequeue_{0};
    std::atomic<uint64_t> dropped_{0};
    static_assert(std::atomic<uint64_t>::is_always_lock_free);
};
