#include "platform/audiounit/ScheduledMIDIQueue.h"

#include <algorithm>
#include <cstring>

ScheduledMIDIQueue::ScheduledMIDIQueue(uint32_t capacity)
    : capacity_(std::max<uint32_t>(1, capacity)), slots_(new Slot[capacity_]) {
    for (uint64_t i = 0; i < capacity_; ++i) slots_[i].sequence.store(i, std::memory_order_relaxed);
}

bool ScheduledMIDIQueue::push(AUEventSampleTime sampleTime, uint8_t cable, int64_t length,
                              const uint8_t* bytes) noexcept {
    if (length <= 0 || length > kMaximumMessageBytes || bytes == nullptr ||
        slotsFor(static_cast<uint64_t>(length)) > capacity_) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    const uint64_t slots = slotsFor(static_cast<uint64_t>(length));
    uint64_t position = enqueue_.load(std::memory_order_relaxed);
    for (;;) {
        // The consumer frees slots in order, so the message's first and last slot being free for this lap means
        // every slot between them is too.
        const uint64_t last = position + slots - 1;
        const uint64_t first = slotAt(position).sequence.load(std::memory_order_acquire);
        const uint64_t end = slotAt(last).sequence.load(std::memory_order_acquire);
        if (first == position && end == last) {
            if (enqueue_.compare_exchange_weak(position, position + slots, std::memory_order_relaxed)) {
                write(position, slots, {sampleTime, cable, static_cast<uint16_t>(length)}, bytes);
                return true;
            }
        } else if (first < position || end < last) {
            dropped_.fetch_add(1, std::memory_order_relaxed);
            return false;  // full
        } else {
            position = enqueue_.load(std::memory_order_relaxed);
        }
    }
}

// The first slot is published last: once the consumer sees it, the rest of the message is there as well.
void ScheduledMIDIQueue::write(uint64_t position, uint64_t slots, const Header& header, const uint8_t* bytes) noexcept {
    for (uint64_t part = slots; part-- > 0;) {
        Slot& slot = slotAt(position + part);
        const uint64_t from = part * kSlotBytes;
        std::memcpy(slot.bytes, bytes + from, std::min<uint64_t>(kSlotBytes, header.length - from));
        if (part == 0) slot.header = header;
        slot.sequence.store(position + part + 1, std::memory_order_release);
    }
}

uint32_t ScheduledMIDIQueue::frontLength() const noexcept {
    const uint64_t position = dequeue_.load(std::memory_order_relaxed);
    const Slot& slot = slotAt(position);
    if (slot.sequence.load(std::memory_order_acquire) != position + 1) return 0;
    return slot.header.length;
}

bool ScheduledMIDIQueue::pop(Header& header, uint8_t* bytes, uint32_t capacity) noexcept {
    const uint32_t length = frontLength();
    if (length == 0 || length > capacity) return false;
    const uint64_t position = dequeue_.load(std::memory_order_relaxed);
    const uint64_t slots = slotsFor(length);
    header = slotAt(position).header;
    for (uint64_t part = 0; part < slots; ++part) {
        Slot& slot = slotAt(position + part);
        const uint64_t from = part * kSlotBytes;
        std::memcpy(bytes + from, slot.bytes, std::min<uint64_t>(kSlotBytes, length - from));
        slot.sequence.store(position + part + capacity_, std::memory_order_release);
    }
    dequeue_.store(position + slots, std::memory_order_relaxed);
    return true;
}
