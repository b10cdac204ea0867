#pragma once
// Hands MIDI messages to the library the way the stand-in plays them: bank selects are kept per channel and applied
// by the next program change with the bank rule of BankSelect.h; the master coarse tuning is a channel tuning of
// every melodic channel (drum kits keep their pitch), set again after a channel resets its controllers.
//
// Thread contract: render thread, between pulls of the synthesizer; nothing here allocates, locks or logs.

#include <cstddef>
#include <cstdint>

#include "platform/synth/BankSelect.h"
#include "sampler/src/synth/korvel_synth.h"

namespace synth {

class SynthMIDI {
public:
    // One MIDI message of length bytes. Data bytes are taken as 7-bit values; messages that do not begin with a
    // status byte, and system messages, change nothing.
    void apply(korvel_synth_t* synth, const std::uint8_t* bytes, std::size_t length) noexcept;

    // Coarse tuning in whole semitones for every melodic channel.
    void setCoarseTuning(korvel_synth_t* synth, int semitones) noexcept;
    int coarseTuning() const noexcept { return coarseTuneSemitones_; }

private:
    void tuneChannel(korvel_synth_t* synth, int channel) const noexcept;

    ChannelBankSelect banks_;
    int coarseTuneSemitones_ = 0;
};

}  // namespace synth
