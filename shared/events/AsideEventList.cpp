#include "shared/events/AsideEventList.h"

AsideEventList::AsideEventList(std::size_t capacity)
    : storage_(capacity * RenderEventBuffer::nodeBytes(AUMIDIEventEx::MAXBYTES) +
               RenderEventBuffer::nodeBytes(AUMIDIEventEx::kMaxDataCount)),
      capacity_(capacity),
      events_(std::make_unique<const AUMIDIEvent*[]>(capacity)) {}

bool AsideEventList::append(const AUMIDIEvent& event) noexcept {
    if (count_ == capacity_ || !storage_.append(event, event.eventSampleTime)) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    AUMIDIEvent& copy = storage_.last();
    copy.reserved = 0;
    copy.cable = 0;
    events_[count_++] = &copy;
    return true;
}

void AsideEventList::clear() noexcept {
    storage_.clear();
    count_ = 0;
}
