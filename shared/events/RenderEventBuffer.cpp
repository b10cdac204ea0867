#include "shared/events/RenderEventBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "shared/events/MIDIBytes.h"

namespace {

constexpr std::size_t kWordBytes = sizeof(std::uint64_t);
static_assert(alignof(AURenderEvent) <= kWordBytes);

std::size_t nodeWords(std::size_t length) {
    const std::size_t bytes = std::max(sizeof(AURenderEvent), offsetof(AUMIDIEvent, data) + length);
    return (bytes + kWordBytes - 1) / kWordBytes;
}

}  // namespace

RenderEventBuffer::RenderEventBuffer(std::size_t capacityBytes)
    : capacityWords_(capacityBytes / kWordBytes), storage_(std::make_unique<std::uint64_t[]>(capacityWords_)) {
    pending_.reserve(capacityWords_ / nodeWords(0));
}

bool RenderEventBuffer::append(const AUMIDIEvent& event, AUEventSampleTime time) noexcept {
    const std::size_t words = nodeWords(event.length);
    if (usedWords_ + words > capacityWords_ || pending_.size() == pending_.capacity()) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    std::uint64_t* memory = storage_.get() + usedWords_;
    std::memset(memory, 0, words * kWordBytes);
    auto* node = new (memory) AURenderEvent{.MIDI = {nullptr, time, event.eventType, 0, event.length, 0, {0, 0, 0}}};
    std::memcpy(reinterpret_cast<std::uint8_t*>(memory) + offsetof(AUMIDIEvent, data), midiBytes(event), event.length);
    usedWords_ += words;
    pending_.push_back(node);
    return true;
}

const AURenderEvent* RenderEventBuffer::finishList(bool sortByTime) noexcept {
    if (pending_.empty()) {
        return nullptr;
    }
    if (sortByTime) {
        // Insertion sort: stable, in place and allocation-free; the input is two lists that are mostly in order.
        for (std::size_t i = 1; i < pending_.size(); ++i) {
            AURenderEvent* node = pending_[i];
            std::size_t j = i;
            while (j > 0 && pending_[j - 1]->head.eventSampleTime > node->head.eventSampleTime) {
                pending_[j] = pending_[j - 1];
                --j;
            }
            pending_[j] = node;
        }
    }
    for (std::size_t i = 0; i + 1 < pending_.size(); ++i) {
        pending_[i]->head.next = pending_[i + 1];
    }
    AURenderEvent* head = pending_.front();
    pending_.clear();
    return head;
}

void RenderEventBuffer::clear() noexcept {
    usedWords_ = 0;
    pending_.clear();
}
