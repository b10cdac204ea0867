#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/audiounit/RenderEvent.h"
#include "platform/dispatch/HandoffRing.h"
#include "shared/events/AUMIDIEventEx.h"
#include "shared/events/AUMIDIMonitor.h"
#include "shared/playback/AUMIDIRecorder.h"

// What the instrument's render block hands to the main queue, in the order it meets them: host parameter events
// (applied there through a handler), copies of the MIDI messages it sent (added to the monitor, and to the recorder
// while it records) and its log lines. Everything travels through one preallocated ring and a preallocated byte store,
// so the render thread never allocates, locks or waits; what finds no room is dropped and counted.
//
// Threads: construction attaches the ring to the shared main queue and destruction detaches it: both on the main
// queue's thread, while no render call runs. The push operations belong to the one render thread.
class RenderHandoff {
public:
    // Applies one host parameter event on the main queue.
    using ParameterHandler = void (*)(void* context, AUParameterAddress address, AUValue value);

    static constexpr std::size_t kDefaultCapacity = 1024;

    RenderHandoff(ParameterHandler parameterHandler, void* parameterContext, std::shared_ptr<AUMIDIMonitor> monitor,
                  std::shared_ptr<AUMIDIRecorder> recorder, std::size_t capacity = kDefaultCapacity);
    ~RenderHandoff();
    RenderHandoff(const RenderHandoff&) = delete;
    RenderHandoff& operator=(const RenderHandoff&) = delete;

    bool pushParameter(AUParameterAddress address, AUValue value) noexcept;
    // A sent message of length bytes (any length a render event carries) of render event type, at sample time time.
    bool pushMonitored(std::uint8_t type, const std::uint8_t* bytes, std::uint32_t length,
                       AUEventSampleTime time) noexcept;
    bool pushLine(std::string_view line) noexcept;

    // Hand-offs dropped for want of room since construction. Any thread.
    std::uint64_t droppedCount() const noexcept;
    // The ring, for list tools of the same render thread that log through it.
    dispatch::HandoffRing& ring() noexcept { return ring_; }

private:
    struct Parameter {
        AUParameterAddress address;
        AUValue value;
    };
    // A message whose bytes wait in bytes_ from position start (a running count; modulo the size for the index).
    struct Message {
        std::uint64_t start;
        AUEventSampleTime time;
        std::uint32_t length;
        std::uint8_t type;
    };

    static void applyParameter(void* context, const Parameter& parameter);
    static void monitorMessage(void* context, const Message& message);

    ParameterHandler parameterHandler_;
    void* parameterContext_;
    std::shared_ptr<AUMIDIMonitor> monitor_;
    std::shared_ptr<AUMIDIRecorder> recorder_;
    dispatch::HandoffRing ring_;
    // The bytes of the messages on their way, each kept in one piece: room for one message of
    // AUMIDIEventEx::MAXBYTES per ring entry and one longest message. Not zero-filled: bytes are written before
    // they are read.
    std::uint64_t byteCount_;
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::uint64_t written_ = 0;               // render thread: end of the bytes handed over
    std::atomic<std::uint64_t> released_{0};  // main queue: end of the bytes done with
    std::atomic<std::uint64_t> droppedMessages_{0};
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
};
