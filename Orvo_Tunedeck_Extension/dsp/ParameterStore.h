#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "platform/audiounit/RenderEvent.h"

// The instrument's parameter values by address: one float per address 1001 to 1175, at index address - 1000.
// Values are single aligned atomics, so the control thread writes and the render thread reads without a lock.
//
// Thread contract: any thread, render thread included; no allocation, no locks.
class ParameterStore {
public:
    static constexpr AUParameterAddress kFirstAddress = 1001;
    static constexpr AUParameterAddress kLastAddress = 1175;
    static constexpr std::size_t kSlots = 176;

    static constexpr bool holds(AUParameterAddress address) {
        return address >= kFirstAddress && address <= kLastAddress;
    }

    // Stores value for an address 1001 to 1175; other addresses are ignored.
    void set(AUParameterAddress address, AUValue value) noexcept {
        if (holds(address)) slots_[address - 1000].store(value, std::memory_order_relaxed);
    }
    // The stored value for an address 1001 to 1175 (0 until written), otherwise 0.
    AUValue get(AUParameterAddress address) const noexcept {
        return holds(address) ? slots_[address - 1000].load(std::memory_order_relaxed) : 0.0f;
    }

private:
    static_assert(std::atomic<AUValue>::is_always_lock_free);
    std::array<std::atomic<AUValue>, kSlots> slots_{};
};
