#include "platform/dispatch/HandoffRing.h"

namespace dispatch {

HandoffRing::HandoffRing(std::size_t capacityEntries)
    : capacity_(capacityEntries == 0 ? 1 : capacityEntries), entries_(std::make_unique_for_overwrite<Entry[]>(capacity_)) {}

HandoffRing::~HandoffRing() = default;

bool HandoffRing::pushBytesNoAlloc(BytesHandler handler, void* context, const void* payload,
                                   std::size_t sizeBytes) noexcept {
    return pushEntry(&invokeBytes, reinterpret_cast<GenericFunction>(handler), context, payload, sizeBytes);
}

void HandoffRing::invokeBytes(GenericFunction handler, void* context, const std::byte* payload, std::size_t size) {
    reinterpret_cast<BytesHandler>(handler)(context, payload, size);
}

bool HandoffRing::pushEntry(Invoker invoke, GenericFunction handler, void* context, const void* payload,
                            std::size_t sizeBytes) noexcept {
    const std::uint64_t head = head_.load(std::memory_order_relaxed);
    if (sizeBytes > kPayloadBytes || head - tail_.load(std::memory_order_acquire) >= capacity_) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    Entry& entry = entries_[head % capacity_];
    entry.invoke = invoke;
    entry.handler = handler;
    entry.context = context;
    entry.sizeBytes = sizeBytes;
    if (sizeBytes > 0) {
        std::memcpy(entry.payload, payload, sizeBytes);
    }
    head_.store(head + 1, std::memory_order_release);
    return true;
}

bool HandoffRing::runOne() {
    const std::uint64_t tail = tail_.load(std::memory_order_relaxed);
    if (tail == head_.load(std::memory_order_acquire)) {
        return false;
    }
    // Copy out first so the producer may reuse the slot while the handler runs.
    const Entry entry = entries_[tail % capacity_];
    tail_.store(tail + 1, std::memory_order_release);
    entry.invoke(entry.handler, entry.context, entry.payload, entry.sizeBytes);
    return true;
}

}  // namespace dispatch
