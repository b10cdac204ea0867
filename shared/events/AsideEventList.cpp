#include "shared/events/AsideEventList.h"

AsideEventList::AsideEventList(std::size_t capacity) {
    records_.reserve(capacity);
    const std::vector<std::uint8_t> zeros(AUMIDIEventEx::MAXBYTES, 0);
    for (std::size_t i = 0; i < capacity; ++i) {
        records_.push_back(
            std::make_unique<AUMIDIEventEx>(AURenderEventMIDI, zeros, AUMIDIEventEx::MAXBYTES, AUEventSampleTime{0}));
    }
}

bool AsideEventList::append(const AUMIDIEvent& event) noexcept {
    if (count_ == records_.size() || !records_[count_]->InitializeWith(event)) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    AUMIDIEvent* header = records_[count_++]->pEvent();
    header->next = nullptr;
    header->reserved = 0;
    header->cable = 0;
    return true;
}
