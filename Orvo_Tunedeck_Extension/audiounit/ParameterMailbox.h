#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/audiounit/RenderEvent.h"

// Where host parameter changes wait when the ordered hand-off to the main queue has no room: one slot per address
// holds its latest value. A later change of an address that waits replaces the value in its slot, so the main queue
// never misses the latest value of an address, however far behind it is; it takes the waiting values once it has
// caught up with the ordered hand-off.
//
// Threads: construction and destruction allocate and free, off the render thread. replaceWaiting() and put() on the
// one render thread; takeWaiting() on the main queue. Neither side allocates, locks or waits; the render thread's
// compare-and-swap retries only when the main queue took the slot's value in between.
class ParameterMailbox {
public:
    using Apply = void (*)(void* context, AUParameterAddress address, AUValue value);

    static constexpr std::size_t kDefaultAddresses = 4096;

    // addresses: the distinct addresses it keeps (rounded up to a power of two).
    explicit ParameterMailbox(std::size_t addresses = kDefaultAddresses);

    // Render thread: when a change of address waits, value replaces it (true); otherwise nothing changes (false).
    bool replaceWaiting(AUParameterAddress address, AUValue value) noexcept;
    // Render thread: value waits as the latest of address. False when every slot holds another address: the change
    // is lost.
    bool put(AUParameterAddress address, AUValue value) noexcept;

    // Main queue: applies every waiting value (the latest of its address at that moment). Returns the number applied.
    std::size_t takeWaiting(Apply apply, void* context);

private:
    static constexpr std::uint64_t kNoAddress = ~std::uint64_t{0};
    static constexpr std::uint64_t kWaiting = std::uint64_t{1} << 63;

    // state: the value's bits (low 32), a change count (bits 32 to 62) so that every change differs, and kWaiting.
    struct Slot {
        std::atomic<std::uint64_t> address{kNoAddress};  // written once, by the render thread
        std::atomic<std::uint64_t> state{0};
    };
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

    // The slot of address, or of a free one when claim; null when there is none.
    Slot* find(AUParameterAddress address, bool claim) noexcept;
    // Makes value the slot's waiting value; with onlyWhileWaiting, only when one waits. Returns whether it did.
    static bool store(Slot& slot, AUValue value, bool onlyWhileWaiting) noexcept;
    // Applies the slot's value while it waits and marks it taken. Returns whether a value was applied.
    static bool take(Slot& slot, Apply apply, void* context);

    std::size_t mask_;
    std::unique_ptr<Slot[]> slots_;
    std::atomic<bool> anyWaiting_{false};
};
