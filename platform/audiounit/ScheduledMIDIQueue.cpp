#include "platform/audiounit/ScheduledMIDIQueue.h"

#include <algorithm>
#include <cstring>

ScheduledMIDIQueue::ScheduledMIDIQueue(uint32_t capacity)
    : capacity_(std::max<uint32_t>(1, capacity)), slots_(new Slot[capacity_]) {
    for (uint64_t i = 0; i < capacity_; ++i) slots_[i].sequence.store(i, std::memory_order_relaxed);
}

bool ScheduledMIDIQueue::push(AUEventSampleTime sampleTime, uint8_t cable, int64_t length,
                              const uint8_t* bytes) noexcept {
    if (length <= 0 || length > kMaximumMessageBytes || bytes == nullptr) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    uint64_t position = enqueue_.load(std::memory_order_relaxed);
    for (;;) {
        Slot& slot = slots_[position % capacity_];
        const uint64_t sequence = slot.sequence.load(std::memory_order_acquire);
        if (sequence == position) {
            if (enqueue_.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) {
                slot.message.sampleTime = sampleTime;
                slot.message.cable = cable;
                slot.message.length = static_cast<uint16_t>(length);
                std::memcpy(slot.message.bytes, bytes, static_cast<size_t>(length));
                slot.sequence.store(position + 1, std::memory_order_release);
                return true;
            }
        } else if (sequence < position) {
            dropped_.fetch_add(1, std::memory_order_relaxed);
            return false;  // full
        } else {
            position = enqueue_.load(std::memory_order_relaxed);
        }
    }
}

bool ScheduledMIDIQueue::pop(Message& out) noexcept {
    const uint64_t position = dequeue_.load(std::memory_order_relaxed);
    Slot& slot = slots_[position % capacity_];
    if (slot.sequence.load(std::memory_order_acquire) != position + 1) return false;
    const Message& message = slot.message;
    out.sampleTime = message.sampleTime;
    out.cable = message.cable;
    out.length = message.length;
    std::memcpy(out.bytes, message.bytes, message.length);
    dequeue_.store(position + 1, std::memory_order_relaxed);
    slot.sequence.store(position + capacity_, std::memory_order_release);
    return true;
}
