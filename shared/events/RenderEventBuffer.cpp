#include "shared/events/RenderEventBuffer.h"

#include <algorithm>
#include <utility>
#include <cstring>
#include <new>

#include "shared/events/MIDIBytes.h"

namespace {

constexpr std::size_t kWordBytes = sizeof(std::uint64_t);
static_assert(alignof(AURenderEvent) <= kWordBytes);

std::size_t nodeWords(std::size_t length) {
    return RenderEventBuffer::nodeBytes(length) / kWordBytes;
}

}  // namespace

RenderEventBuffer::RenderEventBuffer(std::size_t capacityBytes)
    : capacityWords_(capacityBytes / kWordBytes),
      storage_(std::make_unique_for_overwrite<std::uint64_t[]>(capacityWords_)) {
    pending_.reserve(capacityWords_ / nodeWords(0));
    scratch_ = std::make_unique_for_overwrite<AURenderEvent*[]>(pending_.capacity());
}

bool RenderEventBuffer::append(const AUMIDIEvent& event, AUEventSampleTime time) noexcept {
    const std::size_t words = nodeWords(event.length);
    if (usedWords_ + words > capacityWords_ || pending_.size() == pending_.capacity()) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    std::uint64_t* memory = storage_.get() + usedWords_;
    std::memset(memory, 0, words * kWordBytes);
    auto* node = new (memory) AURenderEvent{.MIDI = {nullptr, time, event.eventType, event.reserved, event.length, event.cable, {0, 0, 0}}};
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
        sortPendingByTime();
    }
    for (std::size_t i = 0; i + 1 < pending_.size(); ++i) {
        pending_[i]->head.next = pending_[i + 1];
    }
    AURenderEvent* head = pending_.front();
    pending_.clear();
    return head;
}

// Stable and allocation-free: insertion sort of short runs (the inputs are mostly in order), then bottom-up merges
// through the preallocated scratch array.
void RenderEventBuffer::sortPendingByTime() noexcept {
    constexpr std::size_t kRun = 16;
    const std::size_t count = pending_.size();
    const auto later = [](const AURenderEvent* a, const AURenderEvent* b) {
        return a->head.eventSampleTime > b->head.eventSampleTime;
    };
    for (std::size_t start = 0; start < count; start += kRun) {
        const std::size_t end = std::min(start + kRun, count);
        for (std::size_t i = start + 1; i < end; ++i) {
            AURenderEvent* node = pending_[i];
            std::size_t j = i;
            for (; j > start && later(pending_[j - 1], node); --j) {
                pending_[j] = pending_[j - 1];
            }
            pending_[j] = node;
        }
    }
    AURenderEvent** from = pending_.data();
    AURenderEvent** to = scratch_.get();
    for (std::size_t width = kRun; width < count; width *= 2) {
        for (std::size_t left = 0; left < count; left += 2 * width) {
            const std::size_t middle = std::min(left + width, count);
            const std::size_t right = std::min(left + 2 * width, count);
            std::size_t a = left;
            std::size_t b = middle;
            std::size_t out = left;
            while (a < middle && b < right) {
                to[out++] = later(from[a], from[b]) ? from[b++] : from[a++];
            }
            while (a < middle) {
                to[out++] = from[a++];
            }
            while (b < right) {
                to[out++] = from[b++];
            }
        }
        std::swap(from, to);
    }
    if (from != pending_.data()) {
        std::copy(from, from + count, pending_.data());
    }
}

void RenderEventBuffer::clear() noexcept {
    usedWords_ = 0;
    pending_.clear();
}
