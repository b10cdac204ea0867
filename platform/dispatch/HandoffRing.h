#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>

#include "platform/dispatch/HandoffSource.h"

namespace dispatch {

// A preallocated single-producer, single-consumer ring that carries hand-offs from a thread that must not allocate,
// lock or wait (the render thread) to the main queue. Each entry is a handler, a context pointer and a small copied
// payload; the main queue runs the entries of a ring in the order they were pushed.
//
// Threads: exactly one producer thread pushes (the render thread that owns the ring); the main queue is the only
// consumer once the ring is attached to it (MainQueue::attach). Construction and destruction allocate and free; do
// them off the render thread, and detach the ring from the main queue before destroying it.
class HandoffRing final : public HandoffSource {
public:
    // Bytes of payload one entry carries.
    static constexpr std::size_t kPayloadBytes = 224;

    // Handler for raw byte payloads; runs on the main queue.
    using BytesHandler = void (*)(void* context, const std::byte* payload, std::size_t sizeBytes);

    // capacityEntries: number of entries that can wait at once (at least 1).
    explicit HandoffRing(std::size_t capacityEntries = 1024);
    ~HandoffRing();
    HandoffRing(const HandoffRing&) = delete;
    HandoffRing& operator=(const HandoffRing&) = delete;

    // Producer thread only. Copies sizeBytes (at most kPayloadBytes) of payload. Returns false, and counts the entry
    // as dropped, when the ring is full or the payload is too large. Never allocates, locks or waits.
    bool pushBytesNoAlloc(BytesHandler handler, void* context, const void* payload, std::size_t sizeBytes) noexcept;

    // Producer thread only. Copies value; handler(context, value) runs on the main queue. Same failure rules as above.
    template <typename T>
    bool pushNoAlloc(void (*handler)(void* context, const T& value), void* context, const T& value) noexcept {
        static_assert(std::is_trivially_copyable_v<T> && std::is_default_constructible_v<T>,
                      "hand-off values are copied as bytes");
        static_assert(sizeof(T) <= kPayloadBytes, "hand-off value too large for one entry");
        return pushEntry(&invokeTyped<T>, reinterpret_cast<GenericFunction>(handler), context, &value, sizeof(T));
    }

    // Producer thread only. Entries that can be pushed now: that many pushes in a row succeed. Never waits.
    std::size_t freeEntries() const noexcept {
        return capacity_ - static_cast<std::size_t>(head_.load(std::memory_order_relaxed) -
                                                    tail_.load(std::memory_order_acquire));
    }

    // Entries dropped because the ring was full or a payload too large. Any thread.
    std::uint64_t droppedCount() const noexcept { return dropped_.load(std::memory_order_relaxed); }

    // Consumer side, used by the main queue: runs the oldest waiting entry. Returns false when none waits.
    bool runOne() override;

    std::size_t capacity() const noexcept { return capacity_; }

private:
    using GenericFunction = void (*)();
    using Invoker = void (*)(GenericFunction handler, void* context, const std::byte* payload, std::size_t size);

    struct Entry {
        Invoker invoke;
        GenericFunction handler;
        void* context;
        std::size_t sizeBytes;
        alignas(std::max_align_t) std::byte payload[kPayloadBytes];
    };
    static_assert(sizeof(Entry) == 256, "one entry fills four cache lines");

    template <typename T>
    static void invokeTyped(GenericFunction handler, void* context, const std::byte* payload, std::size_t) {
        T value;
        std::memcpy(&value, payload, sizeof(T));
        reinterpret_cast<void (*)(void*, const T&)>(handler)(context, value);
    }
    static void invokeBytes(GenericFunction handler, void* context, const std::byte* payload, std::size_t size);

    bool pushEntry(Invoker invoke, GenericFunction handler, void* context, const void* payload,
                   std::size_t sizeBytes) noexcept;

    std::size_t capacity_;
    std::unique_ptr<Entry[]> entries_;  // not zero-filled: each is written before it is read
    alignas(64) std::atomic<std::uint64_t> head_{0};  // next entry the producer writes
    alignas(64) std::atomic<std::uint64_t> tail_{0};  // next entry the consumer reads
    std::atomic<std::uint64_t> dropped_{0};
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
};

}  // namespace dispatch
