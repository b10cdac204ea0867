#pragma once

#include <charconv>
#include <concepts>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "platform/dispatch/HandoffRing.h"

namespace foundation {

// One log line composed in a fixed buffer, for the render thread: never allocates. What does not fit into
// HandoffRing::kPayloadBytes is dropped. Pass view() to queueLogLineNoAlloc.
//
//     FixedLogLine line;
//     line << "sample time: " << sampleTime;
//     queueLogLineNoAlloc(ring, line.view());
class FixedLogLine {
public:
    FixedLogLine& operator<<(std::string_view text) noexcept {
        const std::size_t count = text.size() < free() ? text.size() : free();
        std::memcpy(text_ + length_, text.data(), count);
        length_ += count;
        return *this;
    }

    // Integers in signed or unsigned decimal.
    template <std::integral Integer>
        requires(!std::same_as<Integer, bool> && !std::same_as<Integer, char>)
    FixedLogLine& operator<<(Integer number) noexcept {
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof digits, number);
        return *this << std::string_view(digits, static_cast<std::size_t>(result.ptr - digits));
    }

    std::string_view view() const noexcept { return {text_, length_}; }

private:
    std::size_t free() const noexcept { return sizeof text_ - length_; }

    char text_[dispatch::HandoffRing::kPayloadBytes];
    std::size_t length_ = 0;
};

}  // namespace foundation
