#include "platform/audiounit/AUAudioUnitBus.h"

#include "platform/audiounit/AUAudioUnit.h"

bool AUAudioUnitBus::setFormat(const AudioFormat& format) {
    if (!format.isValid() || format.channelCount > kMaximumChannelCount) return false;
    if (owner_ != nullptr && owner_->allocated_.load()) return false;
    format_ = format;
    return true;
}

AUAudioUnitBusArray::AUAudioUnitBusArray(AUAudioUnit* owner, AUAudioUnitBusType busType,
                                         std::vector<std::shared_ptr<AUAudioUnitBus>> busses)
    : owner_(owner), busType_(busType), busses_(std::move(busses)) {
    for (const auto& bus : busses_) bus->owner_ = owner;
}
