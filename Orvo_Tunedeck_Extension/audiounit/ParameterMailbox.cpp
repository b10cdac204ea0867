#include "Orvo_Tunedeck_Extension/audiounit/ParameterMailbox.h"

#include <bit>

namespace {

constexpr std::uint64_t kCountStep = std::uint64_t{1} << 32;
constexpr std::uint64_t kCountBits = ((std::uint64_t{1} << 31) - 1) << 32;

AUValue valueOf(std::uint64_t state) noexcept { return std::bit_cast<AUValue>(static_cast<std::uint32_t>(state)); }

}  // namespace

ParameterMailbox::ParameterMailbox(std::size_t addresses)
    : mask_(std::bit_ceil(addresses < 1 ? std::size_t{1} : addresses) - 1),
      slots_(std::make_unique<Slot[]>(mask_ + 1)) {}

ParameterMailbox::Slot* ParameterMailbox::find(AUParameterAddress address, bool claim) noexcept {
    // Fibonacci hashing spreads neighbouring addresses; the probe is linear.
    std::size_t index = static_cast<std::size_t>((address * 0x9E3779B97F4A7C15ull) >> 20) & mask_;
    for (std::size_t probes = 0; probes <= mask_; ++probes, index = (index + 1) & mask_) {
        Slot& slot = slots_[index];
        const std::uint64_t held = slot.address.load(std::memory_order_relaxed);
        if (held == address) {
            return &slot;
        }
        if (held == kNoAddress) {
            if (!claim) {
                return nullptr;
            }
            // Published with the first value by the release of put()'s exchange.
            slot.address.store(address, std::memory_order_relaxed);
            return &slot;
        }
    }
    return nullptr;
}

bool ParameterMailbox::store(Slot& slot, AUValue value, bool onlyWhileWaiting) noexcept {
    std::uint64_t state = slot.state.load(std::memory_order_acquire);
    std::uint64_t next = 0;
    do {
        if (onlyWhileWaiting && (state & kWaiting) == 0) {
            return false;
        }
        next = kWaiting | ((state + kCountStep) & kCountBits) | std::bit_cast<std::uint32_t>(value);
    } while (!slot.state.compare_exchange_weak(state, next, std::memory_order_acq_rel, std::memory_order_acquire));
    return true;
}

bool ParameterMailbox::replaceWaiting(AUParameterAddress address, AUValue value) noexcept {
    Slot* slot = find(address, false);
    return slot != nullptr && store(*slot, value, true);
}

bool ParameterMailbox::put(AUParameterAddress address, AUValue value, std::uint64_t sequence) noexcept {
    Slot* slot = find(address, true);
    if (slot == nullptr) {
        return false;
    }
    // Published with the value by the release of store()'s exchange.
    slot->waitingSince.store(sequence, std::memory_order_relaxed);
    store(*slot, value, false);
    anyWaiting_.store(true, std::memory_order_release);
    return true;
}

bool ParameterMailbox::admit(Slot& slot, std::uint64_t sequence) noexcept {
    if (sequence < slot.appliedSequence) {
        return false;
    }
    slot.appliedSequence = sequence;
    return true;
}

bool ParameterMailbox::admit(AUParameterAddress address, std::uint64_t sequence) noexcept {
    // The main queue saw the address of every slot it applied a value from, so such a slot is found here.
    Slot* slot = find(address, false);
    return slot == nullptr || admit(*slot, sequence);
}

bool ParameterMailbox::take(Slot& slot, Apply apply, void* context) {
    std::uint64_t state = slot.state.load(std::memory_order_acquire);
    bool applied = false;
    // A change that lands while the value is applied fails the exchange: its value is applied too, in turn.
    while ((state & kWaiting) != 0) {
        if (admit(slot, slot.waitingSince.load(std::memory_order_relaxed))) {
            apply(context, slot.address.load(std::memory_order_relaxed), valueOf(state));
            applied = true;
        }
        if (slot.state.compare_exchange_strong(state, state & ~kWaiting, std::memory_order_acq_rel,
                                               std::memory_order_acquire)) {
            break;
        }
    }
    return applied;
}

std::size_t ParameterMailbox::takeWaiting(Apply apply, void* context) {
    if (!anyWaiting_.exchange(false, std::memory_order_acq_rel)) {
        return 0;
    }
    std::size_t applied = 0;
    for (std::size_t slot = 0; slot <= mask_; ++slot) {
        applied += take(slots_[slot], apply, context) ? 1 : 0;
    }
    return applied;
}
