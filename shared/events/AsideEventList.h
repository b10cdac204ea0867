#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/audiounit/RenderEvent.h"
#include "shared/events/AUMIDIEventEx.h"
#include "shared/events/RenderEventBuffer.h"

// System messages (status 0xF0 and above) that a list tool sets aside for its reader, in arrival order. Each entry is
// an AUMIDIEvent that holds its whole message from its data field on (read it with midiBytes()). The storage is made
// once: room for capacity messages of AUMIDIEventEx::MAXBYTES bytes and one more of the longest a render event carries
// (AUMIDIEventEx::kMaxDataCount), so that filling and draining never allocate.
//
// Threads: construction allocates (off the render thread); the rest on one thread at a time (the render thread:
// the tool appends, the render block drains with clear()). Never locks or waits.
class AsideEventList {
public:
    static constexpr std::size_t kDefaultCapacity = 256;

    explicit AsideEventList(std::size_t capacity = kDefaultCapacity);

    // Copies event (type, sample time and whole message; next null, cable 0) into the storage. Returns false, and
    // counts the event as dropped, when capacity events wait already or the storage has no room for the message.
    bool append(const AUMIDIEvent& event) noexcept;

    std::size_t size() const noexcept { return count_; }
    bool empty() const noexcept { return count_ == 0; }
    // The event at index, oldest first; index below size(). Valid until clear().
    const AUMIDIEvent& operator[](std::size_t index) const noexcept { return *events_[index]; }
    // Empties the list; its storage is kept for reuse.
    void clear() noexcept;

    // Events dropped since construction. Any thread.
    std::uint64_t droppedCount() const noexcept { return dropped_.load(std::memory_order_relaxed); }

private:
    RenderEventBuffer storage_;
    std::size_t capacity_;
    std::unique_ptr<const AUMIDIEvent*[]> events_;
    std::size_t count_ = 0;
    std::atomic<std::uint64_t> dropped_{0};
};
