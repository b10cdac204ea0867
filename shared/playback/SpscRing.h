#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>

// A bounded single-producer, single-consumer ring of plain records, preallocated at construction.
//
// Threads: construction and destruction allocate and free (off the render thread). push() on one producer thread,
// pop() on one consumer thread; both never allocate, lock or wait.
template <typename T>
class SpscRing {
    static_assert(std::is_trivially_copyable_v<T>, "ring records are copied as plain data");
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

public:
    explicit SpscRing(std::size_t capacity)
        : capacity_(capacity < 1 ? 1 : capacity), slots_(std::make_unique_for_overwrite<Slot[]>(capacity_)) {}
    SpscRing(const SpscRing&) = delete;
    SpscRing& operator=(const SpscRing&) = delete;

    // Producer: copies record in. Returns false when the ring is full.
    bool push(const T& record) noexcept {
        const std::uint64_t head = head_.load(std::memory_order_relaxed);
        if (head - tail_.load(std::memory_order_acquire) >= capacity_) {
            return false;
        }
        std::memcpy(slots_[head % capacity_].bytes, &record, sizeof(T));
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

    // Consumer: copies the oldest record out. Returns false when the ring is empty.
    bool pop(T& record) noexcept {
        const std::uint64_t tail = tail_.load(std::memory_order_relaxed);
        if (tail == head_.load(std::memory_order_acquire)) {
            return false;
        }
        std::memcpy(&record, slots_[tail % capacity_].bytes, sizeof(T));
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    std::size_t capacity() const noexcept { return capacity_; }

private:
    // Raw bytes: a slot is written before it is read, so no record is constructed in it up front and the pages of
    // slots never used stay untouched.
    struct Slot {
        alignas(T) std::byte bytes[sizeof(T)];
    };

    std::size_t capacity_;
    std::unique_ptr<Slot[]> slots_;
    alignas(64) std::atomic<std::uint64_t> head_{0};
    alignas(64) std::atomic<std::uint64_t> tail_{0};
};
