#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "shared/events/AUMIDIEventEx.h"

// A ring of prepared records, each with a data area of AUMIDIEventEx::MAXBYTES bytes, so that the render thread can
// copy an event into a record (AUMIDIEventEx::InitializeWith) without allocating.
//
// Threads: made off the render thread (it allocates all records); next() on the render thread only.
class AUMIDIEventStack {
public:
    static constexpr std::size_t MAXEVENTS = 512;

    AUMIDIEventStack();

    // The next record of the ring, MAXEVENTS calls before it comes round again: a caller must be done with a record
    // by then. Never allocates.
    AUMIDIEventEx& next() noexcept;

private:
    std::vector<std::unique_ptr<AUMIDIEventEx>> items_;
    std::size_t currentIndex_ = 0;
};
