#include "shared/events/AUMIDIEventStack.h"

AUMIDIEventStack::AUMIDIEventStack() {
    items_.reserve(MAXEVENTS);
    const std::vector<std::uint8_t> zeros(AUMIDIEventEx::MAXBYTES, 0);
    for (std::size_t i = 0; i < MAXEVENTS; ++i) {
        items_.push_back(
            std::make_unique<AUMIDIEventEx>(AURenderEventMIDI, zeros, AUMIDIEventEx::MAXBYTES, AUEventSampleTime{0}));
    }
}

AUMIDIEventEx& AUMIDIEventStack::next() noexcept {
    if (currentIndex_ >= items_.size()) {
        currentIndex_ = 0;
    }
    return *items_[currentIndex_++];
}
