#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audiounit/RenderEvent.h"

// A sample-timed MIDI event that owns its bytes: one heap block that starts as an AUMIDIEvent and lets the data
// field overflow into the remaining space, with extra fields for the code that makes events (sequence model, file
// player, recorder, monitor, views). Shared through std::shared_ptr; pEvent() gives the AUMIDIEvent view.
//
// The block is zero-filled when made and holds dataCapacity() bytes from the data field on. length() is the number
// of data bytes the record holds, which may differ from the header's length after setEvent().
//
// Threads: no lock. A record handed to another thread must not be changed afterwards. The constructors allocate
// (main queue, file conversion, hand-off copies); InitializeWith() and the accessors never allocate.
class AUMIDIEventEx {
public:
    // Largest event InitializeWith() accepts.
    static constexpr std::uint32_t MAXBYTES = 256;
    // Largest data count a record can hold: the header's length field is 16 bits wide.
    static constexpr std::size_t kMaxDataCount = 0xFFFF;

    // Copies data (its whole count, at most kMaxDataCount bytes); the header's length and length() take that count.
    // length only feeds the warning logged when data holds fewer bytes than it.
    AUMIDIEventEx(std::uint8_t type, const std::vector<std::uint8_t>& data, std::uint32_t length,
                  AUEventSampleTime time);
    // Type 9, time 0: the record form of the sequence model's internal meta events.
    explicit AUMIDIEventEx(const std::vector<std::uint8_t>& bytes);
    // Copies length bytes from pointer (at most kMaxDataCount).
    AUMIDIEventEx(std::uint8_t type, const std::uint8_t* pointer, std::uint32_t length, AUEventSampleTime time);

    AUMIDIEventEx(const AUMIDIEventEx&) = delete;
    AUMIDIEventEx& operator=(const AUMIDIEventEx&) = delete;

    // Producer-assigned identifier (0 when made); position in beats; duration in beats, or tempo in BPM for a tempo
    // marker; meta-event type of a record made from a file meta event (127 when made).
    std::int64_t id = 0;
    double beats = 0.0;
    double duration = 0.0;
    std::uint8_t meta = 127;

    // The header by value (next, time, type, reserved, length, cable, first three data bytes).
    AUMIDIEvent event() const noexcept { return *header_; }
    // Overwrites the header, first three data bytes included; length() stays as it was.
    void setEvent(const AUMIDIEvent& header) noexcept { *header_ = header; }

    AUMIDIEvent* pEvent() noexcept { return header_; }
    const AUMIDIEvent* pEvent() const noexcept { return header_; }
    // First data byte; the bytes continue into the block's tail.
    std::uint8_t* data() noexcept;
    const std::uint8_t* data() const noexcept;
    // Number of data bytes held.
    std::uint32_t length() const noexcept { return dataCount_; }
    // A new list of the length() data bytes.
    std::vector<std::uint8_t> array() const;
    // Byte size of the owned block: one AUMIDIEvent plus the data count it was made with.
    std::size_t size() const noexcept { return size_; }
    // Bytes the block holds from the data field on; fixed when the record is made.
    std::size_t dataCapacity() const noexcept;

    // Calls body with the header pointer, valid during the call only.
    template <typename Body>
    decltype(auto) with(Body&& body) {
        return body(header_);
    }

    // Copies aumi (header, and its length bytes read from its data field on) into this record without allocating.
    // aumi must hold its whole message in its own memory. Refuses, changing nothing and returning false, an event
    // longer than MAXBYTES or than dataCapacity(). Render thread safe.
    bool InitializeWith(const AUMIDIEvent& aumi) noexcept;

    // Each data byte as "%2X" (upper-case hex, width 2, so 0x05 reads " 5"), no separator; "" for no bytes.
    std::string toHex() const;
    // Each data byte as "%c".
    std::string toText() const;

private:
    void build(std::uint8_t type, const std::uint8_t* bytes, std::size_t count, AUEventSampleTime time);

    std::size_t size_ = 0;
    std::unique_ptr<std::uint64_t[]> mem_;
    AUMIDIEvent* header_ = nullptr;
    std::uint32_t dataCount_ = 0;
};
