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
// Every change carries a sequence number, counted up by the render thread, whichever road it takes. The render side
// may push while the main queue is half-way through its work, so a change that travelled the ordered road can reach
// the main queue after a newer value of its address was taken from a slot. The main queue therefore admits a change
// only when it is newer than what it last applied of that address (admit() for the ordered road; takeWaiting() checks
// its own), and the table of what was applied lives in the slots: an address that never had a slot never waited, so
// all its changes came in order.
//
// Threads: construction and destruction allocate and free, off the render thread. replaceWaiting() and put() on the
// one render thread; admit() and takeWaiting() on the main queue. Neither side allocates, locks or waits; the render
// thread's compare-and-swap retries only when the main queue took the slot's value in between.
class ParameterMailbox {
public:
    using Apply = void (*)(void* context, AUParameterAddress address, AUValue value);

    static constexpr std::size_t kDefaultAddresses = 4096;

    // addresses: the distinct addresses it keeps (rounded up to a power of two).
    explicit ParameterMailbox(std::size_t addresses = kDefaultAddresses);

    // Render thread: when a change of address waits, value replaces it (true); otherwise nothing changes (false).
    bool replaceWaiting(AUParameterAddress address, AUValue value) noexcept;
    // Render thread, for an address that does not wait (replaceWaiting() said so): value, the change of sequence,
    // waits as the latest of address. False when every slot holds another address: the change is lost.
    bool put(AUParameterAddress address, AUValue value, std::uint64_t sequence) noexcept;

    // Main queue, for a change that came by the ordered road: true when it is newer than every value of address
    // applied so far, and from now on it counts as the last one applied; false when it is older and must be skipped.
    bool admit(AUParameterAddress address, std::uint64_t sequence) noexcept;
    // Main queue: applies every waiting value (the latest of its address at that moment) that admit() would let
    // through. Returns the number applied.
    std::size_t takeWaiting(Apply apply, void* context);

private:
    static constexpr std::uint64_t kNoAddress = ~std::uint64_t{0};
    static constexpr std::uint64_t kWaiting = std::uint64_t{1} << 63;

    // state: the value's bits (low 32), a change count (bits 32 to 62) so that every change differs, and kWaiting.
    struct Slot {
        std::atomic<std::uint64_t> address{kNoAddress};  // written once, by the render thread
        std::atomic<std::uint64_t> state{0};
        // The sequence of the change that made the slot wait. The values that replace it while it waits are newer
        // still, and no change of the address takes the ordered road before the main queue has taken them, so it
        // ranks them all among the address's changes. Written by the render thread only while the slot does not wait.
        std::atomic<std::uint64_t> waitingSince{0};
        std::uint64_t appliedSequence = 0;  // main queue only: the last change of the address it applied
    };
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

    // The slot of address, or of a free one when claim; null when there is none.
    Slot* find(AUParameterAddress address, bool claim) noexcept;
    // Makes value the slot's waiting value; with onlyWhileWaiting, only when one waits. Returns whether it did.
    static bool store(Slot& slot, AUValue value, bool onlyWhileWaiting) noexcept;
    // Main queue: whether sequence is not older than the slot's last applied change; if so it becomes that change.
    static bool admit(Slot& slot, std::uint64_t sequence) noexcept;
    // Applies the slot's value while it waits and marks it taken. Returns whether a value was applied.
    static bool take(Slot& slot, Apply apply, void* context);

    std::size_t mask_;
    std::unique_ptr<Slot[]> slots_;
    std::atomic<bool> anyWaiting_{false};
};
