#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/audiounit/RenderEvent.h"
#include "shared/events/ChannelFilter.h"
#include "shared/events/RenderEventBuffer.h"

// Splits one render-event list per sound generator: instance n (0 to NUMSAMPLERS - 1) takes the channel-n messages
// of a passing channel n, and the system messages (status 0xF0 and above) whose low four bits equal n; instance -1
// takes every message of a passing channel and every system message. Order, sample times and cables are kept.
//
// The splitter keeps what it builds: the lists of an instance stay valid until deallocateRealtimeEventListHead()
// for that instance.
//
// Threads: splitRealtimeEventListHead() and deallocateRealtimeEventListHead() on the render thread, never
// allocating, locking or waiting; the filter setters on the main queue (see ChannelFilter).
class AUMIDIEventListSplitter : public ChannelFilter {
public:
    static constexpr int NUMSAMPLERS = 16;
    static constexpr std::size_t kDefaultCapacityBytes = 16 * 1024;

    // capacityBytes: storage per instance for the lists kept until they are deallocated; events beyond it are
    // dropped and counted.
    explicit AUMIDIEventListSplitter(std::size_t capacityBytes = kDefaultCapacityBytes);

    // The MIDI entries (types 8 and 9) of allEvents for instance (-1 to NUMSAMPLERS - 1), or null when none is kept
    // or the instance is out of range.
    const AURenderEvent* splitRealtimeEventListHead(const AURenderEvent* allEvents, int instance) noexcept;

    // Frees every list built for instance (-1 to NUMSAMPLERS - 1); other values do nothing.
    void deallocateRealtimeEventListHead(int instance) noexcept;

    // Events dropped because an instance's storage was full, since construction. Any thread.
    std::uint64_t droppedCount() const noexcept;

private:
    static bool takes(int instance, std::uint8_t status) noexcept;

    // Index 0 holds instance -1, index n + 1 instance n.
    std::array<std::unique_ptr<RenderEventBuffer>, NUMSAMPLERS + 1> channelHeads_;
};
