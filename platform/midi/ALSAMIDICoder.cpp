#include "platform/midi/ALSAMIDICoder.h"

#include <algorithm>

namespace midi {

std::unique_ptr<ALSAMIDICoder> ALSAMIDICoder::make(std::string* error) {
    snd_midi_event_t* encoder = nullptr;
    snd_midi_event_t* decoder = nullptr;
    if (snd_midi_event_new(kChunkBytes, &encoder) < 0 || snd_midi_event_new(kChunkBytes, &decoder) < 0) {
        if (encoder != nullptr) snd_midi_event_free(encoder);
        *error = "the ALSA sequencer's MIDI byte coder could not be made";
        return nullptr;
    }
    return std::unique_ptr<ALSAMIDICoder>(new ALSAMIDICoder(encoder, decoder));
}

ALSAMIDICoder::ALSAMIDICoder(snd_midi_event_t* encoder, snd_midi_event_t* decoder)
    : encoder_(encoder), decoder_(decoder) {
    snd_midi_event_no_status(encoder_, 1);
    snd_midi_event_no_status(decoder_, 1);
}

ALSAMIDICoder::~ALSAMIDICoder() {
    snd_midi_event_free(encoder_);
    snd_midi_event_free(decoder_);
}

bool ALSAMIDICoder::encode(std::span<const std::uint8_t> bytes, const std::function<bool(snd_seq_event_t&)>& emit) {
    for (const std::uint8_t byte : bytes) {
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        if (snd_midi_event_encode_byte(encoder_, byte, &event) == 1 && !emit(event)) return false;
    }
    return true;
}

void ALSAMIDICoder::resetEncoder() { snd_midi_event_reset_encode(encoder_); }

void ALSAMIDICoder::decode(const snd_seq_event_t& event, const std::function<void(MIDIPacketList)>& deliver) {
    if (event.type == SND_SEQ_EVENT_SYSEX) {
        const auto* bytes = static_cast<const std::uint8_t*>(event.data.ext.ptr);
        std::size_t left = event.data.ext.len;
        while (left > 0) {
            std::size_t used = 0;
            for (; used < kPacketsPerDelivery && left > 0; ++used) {
                MIDIPacket& packet = packets_[used];
                const std::size_t n = std::min(left, kChunkBytes);
                packet.timeStamp = 0;
                packet.length = static_cast<std::uint16_t>(n);
                std::copy_n(bytes, n, packet.data);
                bytes += n;
                left -= n;
            }
            deliver(MIDIPacketList(packets_.data(), used));
        }
        return;
    }
    MIDIPacket& packet = packets_[0];
    snd_midi_event_reset_decode(decoder_);
    const long n = snd_midi_event_decode(decoder_, packet.data, kChunkBytes, &event);
    if (n <= 0) return;
    packet.timeStamp = 0;
    packet.length = static_cast<std::uint16_t>(n);
    deliver(MIDIPacketList(packets_.data(), 1));
}

}  // namespace midi
