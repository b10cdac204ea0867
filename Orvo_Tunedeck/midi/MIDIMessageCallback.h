#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "Orvo_Tunedeck/midi/MIDIMessageDelegate.h"
#include "platform/midi/MIDITypes.h"

// Decodes MIDI input packets into calls of its delegate.
//
// Within a packet, messages are read by their length (three bytes for note, aftertouch, controller and pitch-bend
// messages, two for program change and channel pressure) and running status holds: after a channel status byte,
// further data bytes make further messages of that status. A status byte never passes as data. A packet starts
// without running status. Real-time bytes (0xF8 to 0xFF) give their call wherever they stand, also inside another
// message. A system-exclusive message may span packets: it is delivered when its 0xF7 arrives; another status byte
// before that drops it. Data bytes without a status, incomplete messages at a packet's end and the undefined
// status bytes 0xF4, 0xF5, 0xF9 and 0xFD are dropped. A packet whose length claims more than its 256-byte data area
// is decoded up to the area's end and logged as overflow.
//
// Threads: handleMIDIMessageCallback on one MIDI input thread at a time; it does not allocate (except to log a
// missing delegate or an overflow through the main queue) and never waits. setDelegate from any thread.
class MIDIMessageCallback {
public:
    // The longest system-exclusive message assembled; longer ones are dropped.
    static constexpr std::size_t kMaxSysexBytes = 65535;

    MIDIMessageCallback();
    virtual ~MIDIMessageCallback() = default;

    std::shared_ptr<MIDIMessageDelegate> delegate() const { return delegate_.load(); }
    void setDelegate(std::shared_ptr<MIDIMessageDelegate> delegate) { delegate_.store(std::move(delegate)); }

    void handleMIDIMessageCallback(const midi::MIDIPacket& packet);

    // System-exclusive messages dropped so far (cut off by a status byte, or too long).
    std::uint64_t droppedSysexCount() const { return droppedSysex_.load(std::memory_order_relaxed); }

private:
    void realTime(MIDIMessageDelegate& delegate, midi::MIDITimeStamp timeStamp, std::uint8_t status);
    void systemCommon(MIDIMessageDelegate& delegate, midi::MIDITimeStamp timeStamp, std::uint8_t status,
                      const std::uint8_t* data);
    void sysexByte(std::uint8_t byte);
    void deliverSysex(MIDIMessageDelegate& delegate);
    void dropSysex();

    std::atomic<std::shared_ptr<MIDIMessageDelegate>> delegate_;

    // System-exclusive message being assembled; input thread only.
    std::unique_ptr<std::uint8_t[]> sysex_;
    std::size_t sysexLength_ = 0;
    bool sysexOpen_ = false;
    bool sysexTooLong_ = false;
    midi::MIDITimeStamp sysexTimeStamp_ = 0;
    std::atomic<std::uint64_t> droppedSysex_{0};
};
