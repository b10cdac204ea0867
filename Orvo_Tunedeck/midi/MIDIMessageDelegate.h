#pragma once

#include <cstdint>
#include <span>

#include "platform/midi/MIDITypes.h"

// Receives the messages that the packet parser decodes from the MIDI input, one call per message, and the signal
// that the MIDI set-up sent a notification.
//
// Threads: every operation except onMIDINotification is called on the MIDI input thread, synchronously, in the
// order of the bytes received; it must return quickly and must not wait on the main queue. onMIDINotification is
// called where the MIDI system delivers client notifications.
class MIDIMessageDelegate {
public:
    virtual ~MIDIMessageDelegate() = default;

    // A channel message (status 0x80 to 0xEF with its channel). length is 3, or 2 for program change and channel
    // pressure (data2 is then 0).
    virtual void onChannelMessage(midi::MIDITimeStamp timeStamp, std::uint8_t status, std::uint8_t data1,
                                  std::uint8_t data2, std::uint16_t length) = 0;
    // A whole system-exclusive message, 0xF0 to 0xF7; data holds length bytes (at least 256 bytes are readable, the
    // ones after the message being 0).
    virtual void onSysEx(midi::MIDITimeStamp timeStamp, std::uint16_t length, std::span<const std::uint8_t> data) = 0;
    virtual void onTimeCode(midi::MIDITimeStamp timeStamp, std::uint8_t data1) = 0;
    virtual void onSongPositionPointer(midi::MIDITimeStamp timeStamp, std::uint8_t data1, std::uint8_t data2) = 0;
    virtual void onSongSelect(midi::MIDITimeStamp timeStamp, std::uint8_t data1) = 0;
    virtual void onTuneRequest(midi::MIDITimeStamp timeStamp) = 0;
    virtual void onClock(midi::MIDITimeStamp timeStamp) = 0;
    virtual void onStart(midi::MIDITimeStamp timeStamp) = 0;
    virtual void onContinue(midi::MIDITimeStamp timeStamp) = 0;
    virtual void onStop(midi::MIDITimeStamp timeStamp) = 0;
    virtual void onActiveSensing(midi::MIDITimeStamp timeStamp) = 0;
    virtual void onSystemReset(midi::MIDITimeStamp timeStamp) = 0;
    virtual void onMIDINotification() = 0;
};
