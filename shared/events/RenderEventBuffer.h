#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audiounit/RenderEvent.h"

// Preallocated storage for the render-event lists that the list tools build on the render thread. Each node is a
// zero-filled entry the size of at least one AURenderEvent that carries its whole MIDI message (header and every
// byte), so readers may take length bytes from its data field on.
//
// Nodes appended since the last finishList() (or clear()) form the next list; finishList() links them and returns
// the head. Lists stay valid until clear().
//
// Threads: construction allocates (off the render thread); the rest is for one thread at a time (the render thread)
// and never allocates, locks or waits. When the storage is full, further events are dropped and counted.
class RenderEventBuffer {
public:
    explicit RenderEventBuffer(std::size_t capacityBytes);

    // Storage bytes one node takes for a message of length bytes.
    static constexpr std::size_t nodeBytes(std::size_t length) noexcept {
        const std::size_t bytes = std::max(sizeof(AURenderEvent), offsetof(AUMIDIEvent, data) + length);
        return (bytes + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t) * sizeof(std::uint64_t);
    }

    // Appends a copy of event (type, reserved byte, cable and whole message) at time, next null. Returns false (and
    // counts the event as dropped) when the storage is full.
    bool append(const AUMIDIEvent& event, AUEventSampleTime time) noexcept;

    // The node appended last; only valid right after a successful append().
    AUMIDIEvent& last() noexcept { return pending_.back()->MIDI; }

    // Links the nodes appended since the previous list into a new list, stably sorted by sample time when
    // sortByTime, else in append order. Returns its head, or null when no node was appended.
    const AURenderEvent* finishList(bool sortByTime) noexcept;

    // Frees every node and list.
    void clear() noexcept;

    // Events dropped because the storage was full, since construction. Any thread.
    std::uint64_t droppedCount() const noexcept { return dropped_.load(std::memory_order_relaxed); }

private:
    void sortPendingByTime() noexcept;

    std::size_t capacityWords_;
    std::unique_ptr<std::uint64_t[]> storage_;  // not zero-filled: append() clears what it takes
    std::size_t usedWords_ = 0;
    std::vector<AURenderEvent*> pending_;
    std::unique_ptr<AURenderEvent*[]> scratch_;  // as long as pending_'s capacity
    std::atomic<std::uint64_t> dropped_{0};
};
