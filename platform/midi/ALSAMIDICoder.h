#pragma once

#include <alsa/asoundlib.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/midi/MIDITypes.h"

namespace midi {

// Turns MIDI bytes into ALSA sequencer events and back, through libasound's MIDI event coder (which works without a
// sequencer device). Every message keeps exactly its own bytes: a program change stays two bytes, running status
// inside one encode() call is honoured, and a system-exclusive message of any length travels as consecutive
// system-exclusive events of at most kChunkBytes bytes each, which decode() hands on as packets of that size.
//
// Threads: one coder belongs to one thread at a time; it keeps the running status and a partly read message of the
// last encode() call until the next or resetEncoder().
class ALSAMIDICoder {
public:
    static constexpr std::size_t kChunkBytes = MIDIPacket::kDataBytes;

    // nullptr, with error saying why, when libasound cannot make its coders.
    static std::unique_ptr<ALSAMIDICoder> make(std::string* error);
    ~ALSAMIDICoder();
    ALSAMIDICoder(const ALSAMIDICoder&) = delete;
    ALSAMIDICoder& operator=(const ALSAMIDICoder&) = delete;

    // Calls emit with every complete event the bytes make, in order (its data only valid during the call). A
    // message may continue from the bytes of the call before (a system-exclusive message split over packets);
    // resetEncoder() forgets it and the running status. Stops and returns false as soon as emit returns false.
    bool encode(std::span<const std::uint8_t> bytes, const std::function<bool(snd_seq_event_t&)>& emit);
    void resetEncoder();

    // Calls deliver with the bytes of one event as packets (one for a short message, as many as its length needs
    // for system exclusive); events that carry no MIDI message deliver nothing.
    void decode(const snd_seq_event_t& event, const std::function<void(MIDIPacketList)>& deliver);

private:
    static constexpr std::size_t kPacketsPerDelivery = 16;

    ALSAMIDICoder(snd_midi_event_t* encoder, snd_midi_event_t* decoder);

    snd_midi_event_t* encoder_;
    snd_midi_event_t* decoder_;
    std::array<MIDIPacket, kPacketsPerDelivery> packets_{};
};

}  // namespace midi
