#pragma once

#include <cstdint>

// Messages that pass a muted channel: the controllers "reset all controllers" (121) and "all notes off" (123), so
// that muting can silence a channel through the same event lists that it filters.
//
// Pure function; any thread.
constexpr bool passesMutedChannel(std::uint8_t status, std::uint8_t data1) noexcept {
    return (status & 0xF0) == 0xB0 && (data1 == 121 || data1 == 123);
}
