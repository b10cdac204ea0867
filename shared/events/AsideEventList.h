#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audiounit/RenderEvent.h"
#include "shared/events/AUMIDIEventEx.h"

// System messages (status 0xF0 and above) that a list tool sets aside for its reader, in arrival order: a fixed
// set of prepared records of AUMIDIEventEx::MAXBYTES data bytes each, so that filling and draining never allocate.
//
// Threads: construction allocates (off the render thread); the rest on one thread at a time (the render thread:
// the tool appends, the render block drains with clear()). Never locks or waits.
class AsideEventList {
public:
    static constexpr std::size_t kDefaultCapacity = 256;

    explicit AsideEventList(std::size_t capacity = kDefaultCapacity);

    // Copies event (type, sample time and whole message; next null, cable 0) into the next record. Returns false, and
    // counts the event as dropped, when the list is full or the message is longer than AUMIDIEventEx::MAXBYTES.
    bool append(const AUMIDIEvent& event) noexcept;

    std::size_t size() const noexcept { return count_; }
    bool empty() const noexcept { return count_ == 0; }
    // The event at index, oldest first; index below size().
    const AUMIDIEventEx& operator[](std::size_t index) const noexcept { return *records_[index]; }
    // Empties the list; its records are kept for reuse.
    void clear() noexcept { count_ = 0; }

    // Events dropped since construction. Any thread.
    std::uint64_t droppedCount() const noexcept { return dropped_.load(std::memory_order_relaxed); }

private:
    std::vector<std::unique_ptr<AUMIDIEventEx>> records_;
    std::size_t count_ = 0;
    std::atomic<std::uint64_t> dropped_{0};
};
