#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/audiounit/RenderEvent.h"

// The latest value of each host parameter address on its way from the render thread to the main queue. A change
// waits in the address's slot until the main queue takes it; a newer change of an address whose last one still
// waits replaces it there, so the main queue never misses the latest value of an address, however far behind it is.
// The render thread announces each slot that starts to wait (RenderHandoff queues the announcement with the sent
// messages, so changes keep their place among them); a slot whose announcement found no room is found by a sweep.
//
// Threads: construction and destruction allocate and free, off the render thread. put() and markUnannounced() on the
// one render thread; take() and takeUnannounced() on the main queue. Neither side allocates, locks or waits; the
// render thread's compare-and-swap retries only when the main queue took the slot's value in between.
class ParameterMailbox {
public:
    using Apply = void (*)(void* context, AUParameterAddress address, AUValue value);

    static constexpr std::size_t kDefaultAddresses = 4096;

    enum class Put {
        announce,   // the slot started to wait: the caller announces it
        coalesced,  // the value replaced one that still waits (already announced or unannounced)
        full        // every slot holds another address: the change is lost
    };
    struct Placed {
        Put put;
        std::uint32_t slot;
    };

    // addresses: the distinct addresses it keeps (rounded up to a power of two).
    explicit ParameterMailbox(std::size_t addresses = kDefaultAddresses);

    // Render thread.
    Placed put(AUParameterAddress address, AUValue value) noexcept;
    // Render thread: a slot's announcement found no room; the next sweep on the main queue delivers it.
    void markUnannounced() noexcept { unannounced_.store(true, std::memory_order_release); }

    // Main queue: applies the waiting value of slot, the latest at that moment, and marks the slot taken. Nothing
    // when the slot waits no more (a sweep took it). Returns whether a value was applied.
    bool take(std::uint32_t slot, Apply apply, void* context);
    // Main queue: after markUnannounced(), applies every waiting value. Returns the number applied.
    std::size_t takeUnannounced(Apply apply, void* context);

private:
    static constexpr std::uint64_t kNoAddress = ~std::uint64_t{0};
    static constexpr std::uint64_t kWaiting = std::uint64_t{1} << 63;

    // state: the value's bits (low 32), a change count (bits 32 to 62) so that every change differs, and kWaiting.
    struct Slot {
        std::atomic<std::uint64_t> address{kNoAddress};  // written once, by the render thread
        std::atomic<std::uint64_t> state{0};
    };
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

    std::size_t mask_;
    std::unique_ptr<Slot[]> slots_;
    std::atomic<bool> unannounced_{false};
};
