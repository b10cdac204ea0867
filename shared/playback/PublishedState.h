#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// A record that one writer thread publishes whole and other threads read whole: a sequence lock over atomic words.
// The writer never waits; a reader that meets a write in progress reads again.
//
// Threads: publish() on one thread at a time (the render thread); read() from any thread, never on the render thread
// (it may retry).
template <typename T>
class PublishedState {
    static_assert(std::is_trivially_copyable_v<T> && std::is_default_constructible_v<T>);
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
    static constexpr std::size_t kWords = (sizeof(T) + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t);

public:
    explicit PublishedState(const T& initial = T{}) noexcept { publish(initial); }

    void publish(const T& value) noexcept {
        std::array<std::uint64_t, kWords> words{};
        std::memcpy(words.data(), static_cast<const void*>(&value), sizeof(T));
        const std::uint64_t sequence = sequence_.load(std::memory_order_relaxed);
        sequence_.store(sequence + 1, std::memory_order_relaxed);
        // A reader that sees any new word (release/acquire) also sees the odd sequence stored before it.
        for (std::size_t i = 0; i < kWords; ++i) {
            words_[i].store(words[i], std::memory_order_release);
        }
        sequence_.store(sequence + 2, std::memory_order_release);
    }

    T read() const noexcept {
        std::array<std::uint64_t, kWords> words{};
        for (;;) {
            const std::uint64_t before = sequence_.load(std::memory_order_acquire);
            if ((before & 1U) == 0) {
                for (std::size_t i = 0; i < kWords; ++i) {
                    words[i] = words_[i].load(std::memory_order_acquire);
                }
                if (sequence_.load(std::memory_order_relaxed) == before) {
                    break;
                }
            }
        }
        T value;
        std::memcpy(static_cast<void*>(&value), words.data(), sizeof(T));
        return value;
    }

private:
    std::atomic<std::uint64_t> sequence_{0};
    std::array<std::atomic<std::uint64_t>, kWords> words_{};
};
