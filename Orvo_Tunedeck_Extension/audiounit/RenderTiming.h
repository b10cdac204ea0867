#pragma once

#include <atomic>
#include <cstdint>

// The instrument's timing fields: the first sample time and the frame count of the buffer rendered last. The render
// block writes them on every call; the main queue reads them.
struct RenderTiming {
    std::atomic<std::int64_t> currentSampletime{0};
    std::atomic<std::int64_t> internalSampletime{0};
    std::atomic<std::uint32_t> currentFrameCount{0};

    void store(std::int64_t sampleTime, std::uint32_t frameCount) noexcept {
        currentSampletime.store(sampleTime, std::memory_order_relaxed);
        internalSampletime.store(sampleTime, std::memory_order_relaxed);
        currentFrameCount.store(frameCount, std::memory_order_relaxed);
    }
    static_assert(std::atomic<std::int64_t>::is_always_lock_free);
};
