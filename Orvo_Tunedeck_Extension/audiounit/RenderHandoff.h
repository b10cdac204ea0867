#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "Orvo_Tunedeck_Extension/audiounit/ParameterMailbox.h"
#include "platform/foundation/RenderLogLines.h"
#include "platform/audiounit/RenderEvent.h"
#include "platform/dispatch/HandoffSource.h"
#include "shared/events/AUMIDIMonitor.h"
#include "shared/playback/AUMIDIRecorder.h"
#include "shared/playback/SpscRing.h"

// What the instrument's render block hands to the main queue: host parameter events (applied there through a
// handler), copies of the MIDI messages it sent (added to the monitor, and to the recorder while it records), in the
// order it meets them, and its log lines.
//
// What it keeps when the main queue falls behind:
// - parameter changes: lost only when every address slot of the mailbox holds another address. While there is room
//   each one travels in order with the messages; one that finds none waits in a ParameterMailbox, where later
//   changes of its address replace it until the main queue, having caught up, takes it. Each change is numbered on
//   the render thread and one older than the last applied of its address is skipped, so every address ends at the
//   last value the host sent, however the two threads interleave.
// - message copies: preallocated room for kDefaultRecords messages and kDefaultBytes of their bytes. One render call
//   sends at most what the mixer's 64 KiB list holds (1,638 messages of 40-byte entries) and its 256 system messages
//   of up to 256 bytes, about 1,900 messages and 70 KiB: the room takes seven such calls before the main queue runs.
//   A copy that finds no room is dropped and counted, and the main queue writes the count to the log, so neither
//   the monitor nor the recorder loses a message unnoticed.
// - log lines: a small ring of their own (RenderLogLines); lines that find no room are counted, and the main queue
//   writes the count to the log.
// The render thread never allocates, locks or waits here.
//
// Threads: construction attaches to the shared main queue and destruction detaches: both on the main queue's thread,
// while no render call runs. The push operations belong to the one render thread; runOne() to the main queue.
class RenderHandoff final : public dispatch::HandoffSource {
public:
    // Applies one host parameter event on the main queue.
    using ParameterHandler = ParameterMailbox::Apply;

    static constexpr std::size_t kDefaultRecords = 16384;
    static constexpr std::size_t kDefaultBytes = 512 * 1024;
    static constexpr std::size_t kLineCapacity = 256;

    struct Room {
        std::size_t records = kDefaultRecords;  // messages and parameter changes waiting in order at once
        std::size_t bytes = kDefaultBytes;      // bytes of the messages waiting at once
        std::size_t parameterAddresses = ParameterMailbox::kDefaultAddresses;
    };

    RenderHandoff(ParameterHandler parameterHandler, void* parameterContext, std::shared_ptr<AUMIDIMonitor> monitor,
                  std::shared_ptr<AUMIDIRecorder> recorder);
    RenderHandoff(ParameterHandler parameterHandler, void* parameterContext, std::shared_ptr<AUMIDIMonitor> monitor,
                  std::shared_ptr<AUMIDIRecorder> recorder, Room room);
    ~RenderHandoff();
    RenderHandoff(const RenderHandoff&) = delete;
    RenderHandoff& operator=(const RenderHandoff&) = delete;

    // Render thread. False only when every address slot holds another address (the change is lost and counted).
    bool pushParameter(AUParameterAddress address, AUValue value) noexcept;
    // Render thread. A sent message of length bytes of render event type, at sample time time. False when it found
    // no room (counted).
    bool pushMonitored(std::uint8_t type, const std::uint8_t* bytes, std::uint32_t length,
                       AUEventSampleTime time) noexcept;
    bool pushLine(std::string_view line) noexcept;

    // Message copies, parameter changes and log lines lost for want of room since construction. Any thread.
    std::uint64_t droppedCount() const noexcept;

    // Main queue: applies the oldest parameter change or message copy (the changes that waited in the mailbox once
    // none is left; a change older than one already applied of its address is skipped), then logs what was dropped
    // since the last report.
    bool runOne() override;
    // Main queue, while no render call runs: delivers everything that waits, log lines too, at once.
    void deliverWaiting();

private:
    // A parameter change (its address in start, its number in sequence) or a message whose bytes wait in bytes_
    // from position start (a running count; modulo the size for the index).
    struct Record {
        AUEventSampleTime time;
        std::uint64_t start;
        std::uint64_t sequence;
        std::uint32_t length;
        AUValue value;
        std::uint8_t type;
        bool parameter;
    };

    void deliverMessage(const Record& record);
    void reportDrops();
    static void reportDrop(std::uint64_t count, std::uint64_t& reported, const char* what);

    ParameterHandler parameterHandler_;
    void* parameterContext_;
    std::shared_ptr<AUMIDIMonitor> monitor_;
    std::shared_ptr<AUMIDIRecorder> recorder_;
    ParameterMailbox parameters_;
    SpscRing<Record> records_;
    foundation::RenderLogLines lines_;
    // Each message's bytes in one piece. Not zero-filled: bytes are written before they are read.
    std::uint64_t byteCount_;
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::uint64_t written_ = 0;               // render thread: end of the bytes handed over
    std::uint64_t parameterChanges_ = 0;      // render thread: the number of the last parameter change
    std::atomic<std::uint64_t> released_{0};  // main queue: end of the bytes done with
    std::atomic<std::uint64_t> droppedMessages_{0};
    std::atomic<std::uint64_t> lostParameters_{0};
    std::uint64_t reportedMessages_ = 0;  // main queue
    std::uint64_t reportedParameters_ = 0;
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
};
