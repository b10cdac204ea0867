#include "shared/events/AUMIDIEventEx.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "shared/globals/Print.h"

namespace {

constexpr std::size_t kDataOffset = offsetof(AUMIDIEvent, data);

std::size_t clampedCount(std::size_t count) {
    if (count > AUMIDIEventEx::kMaxDataCount) {
        safeprint("AUMIDIEventEx : WARNING: The data length " + std::to_string(count) +
                  " exceeds the limit of " + std::to_string(AUMIDIEventEx::kMaxDataCount) + " bytes; the rest is cut.");
        return AUMIDIEventEx::kMaxDataCount;
    }
    return count;
}

}  // namespace

AUMIDIEventEx::AUMIDIEventEx(std::uint8_t type, const std::vector<std::uint8_t>& data, std::uint32_t length,
                             AUEventSampleTime time) {
    if (data.size() < length) {
        safeprint("WARNING: The length parameter " + std::to_string(length) + " is not equal to the data length " +
                  std::to_string(data.size()) + ".");
    }
    build(type, data.data(), clampedCount(data.size()), time);
}

AUMIDIEventEx::AUMIDIEventEx(const std::vector<std::uint8_t>& bytes)
    : AUMIDIEventEx(AURenderEventMIDISysEx, bytes, static_cast<std::uint32_t>(bytes.size()), 0) {}

AUMIDIEventEx::AUMIDIEventEx(std::uint8_t type, const std::uint8_t* pointer, std::uint32_t length,
                             AUEventSampleTime time) {
    build(type, pointer, pointer != nullptr ? clampedCount(length) : 0, time);
}

void AUMIDIEventEx::build(std::uint8_t type, const std::uint8_t* bytes, std::size_t count, AUEventSampleTime time) {
    size_ = sizeof(AUMIDIEvent) + count;
    const std::size_t words = (size_ + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t);
    mem_ = std::make_unique<std::uint64_t[]>(words);  // zero-filled
    header_ = new (mem_.get()) AUMIDIEvent{};
    header_->next = nullptr;
    header_->eventSampleTime = time;
    header_->eventType = static_cast<AURenderEventType>(type);
    header_->reserved = 0;
    header_->length = static_cast<std::uint16_t>(count);
    header_->cable = 0;
    if (count > 0) {
        std::memcpy(data(), bytes, count);
    }
    dataCount_ = static_cast<std::uint32_t>(count);
}

std::uint8_t* AUMIDIEventEx::data() noexcept {
    return reinterpret_cast<std::uint8_t*>(mem_.get()) + kDataOffset;
}

const std::uint8_t* AUMIDIEventEx::data() const noexcept {
    return reinterpret_cast<const std::uint8_t*>(mem_.get()) + kDataOffset;
}

std::vector<std::uint8_t> AUMIDIEventEx::array() const {
    return std::vector<std::uint8_t>(data(), data() + dataCount_);
}

std::size_t AUMIDIEventEx::dataCapacity() const noexcept {
    return size_ - kDataOffset;
}

bool AUMIDIEventEx::InitializeWith(const AUMIDIEvent& aumi) noexcept {
    if (aumi.length > MAXBYTES || aumi.length > dataCapacity()) {
        return false;
    }
    *header_ = aumi;
    std::memmove(data(), reinterpret_cast<const std::uint8_t*>(&aumi) + kDataOffset, aumi.length);
    dataCount_ = aumi.length;
    return true;
}

std::string AUMIDIEventEx::toHex() const {
    std::string text;
    char digits[3];
    for (std::uint32_t i = 0; i < dataCount_; ++i) {
        std::snprintf(digits, sizeof digits, "%2X", data()[i]);
        text += digits;
    }
    return text;
}

std::string AUMIDIEventEx::toText() const {
    const auto* bytes = data();
    return std::string(reinterpret_cast<const char*>(bytes), dataCount_);
}
