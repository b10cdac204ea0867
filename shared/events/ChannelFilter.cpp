#include "shared/events/ChannelFilter.h"

#include <algorithm>

ChannelFilter::ChannelFilter() noexcept {
    unmuteAll();
}

std::vector<std::uint8_t> ChannelFilter::channels() const {
    return std::vector<std::uint8_t>(order_.begin(), order_.begin() + static_cast<std::ptrdiff_t>(count_));
}

void ChannelFilter::reset() {
    unmuteAll();
}

bool ChannelFilter::filters(std::uint8_t channel) const noexcept {
    return channel >= kChannelCount || (passMask_.load(std::memory_order_relaxed) & (1u << channel)) == 0;
}

void ChannelFilter::solo(std::uint8_t channel) {
    if (channel >= kChannelCount) {
        return;
    }
    order_[0] = channel;
    count_ = 1;
    publish();
}

void ChannelFilter::mute(std::uint8_t channel) {
    const auto end = order_.begin() + static_cast<std::ptrdiff_t>(count_);
    const auto found = std::find(order_.begin(), end, channel);
    if (channel >= kChannelCount || found == end) {
        return;
    }
    std::copy(found + 1, end, found);
    --count_;
    publish();
}

void ChannelFilter::unmute(std::uint8_t channel) {
    if (channel >= kChannelCount || !filters(channel)) {
        return;
    }
    order_[count_++] = channel;
    publish();
}

void ChannelFilter::unmuteAll() {
    for (std::uint8_t c = 0; c < kChannelCount; ++c) {
        order_[c] = c;
    }
    count_ = kChannelCount;
    publish();
}

void ChannelFilter::muteAll() {
    count_ = 0;
    publish();
}

void ChannelFilter::publish() noexcept {
    std::uint16_t mask = 0;
    for (std::size_t i = 0; i < count_; ++i) {
        mask = static_cast<std::uint16_t>(mask | (1u << order_[i]));
    }
    passMask_.store(mask, std::memory_order_relaxed);
}
