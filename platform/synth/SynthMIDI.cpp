#include "platform/synth/SynthMIDI.h"

#include "sampler/src/bank/korvel_gen.h"
#include "sampler/src/synth/korvel_synth_midi.h"

namespace synth {

namespace {

constexpr std::uint8_t kControlChange = 0xB0;
constexpr std::uint8_t kProgramChange = 0xC0;
constexpr std::uint8_t kSystemMessages = 0xF0;
constexpr std::uint8_t kResetAllControllers = 121;

}  // namespace

void SynthMIDI::apply(korvel_synth_t* synth, const std::uint8_t* bytes, std::size_t length) noexcept {
    if (length == 0 || bytes[0] < 0x80 || bytes[0] >= kSystemMessages) return;
    korvel_midi_message_t message{};
    message.status = bytes[0];
    message.type = bytes[0] & 0xF0;
    message.channel = bytes[0] & 0x0F;
    message.param1 = length > 1 ? bytes[1] & 0x7F : 0;
    message.param2 = length > 2 ? bytes[2] & 0x7F : 0;
    const int channel = message.channel;

    if (message.type == kControlChange &&
        banks_.takeController(channel, static_cast<std::uint8_t>(message.param1),
                              static_cast<std::uint8_t>(message.param2)))
        return;
    if (message.type == kProgramChange) {
        korvel_synth_bank_select(synth, channel, banks_.bank(channel));
        korvel_synth_program_change(synth, channel, static_cast<int>(message.param1));
        return;
    }
    korvel_synth_handle_midi_event2(synth, nullptr, &message);
    if (message.type == kControlChange && message.param1 == kResetAllControllers) tuneChannel(synth, channel);
}

void SynthMIDI::setCoarseTuning(korvel_synth_t* synth, int semitones) noexcept {
    coarseTuneSemitones_ = semitones;
    for (int channel = 0; channel < kMIDIChannels; ++channel) tuneChannel(synth, channel);
}

void SynthMIDI::tuneChannel(korvel_synth_t* synth, int channel) const noexcept {
    if (channel != kDrumChannel)
        korvel_synth_set_gen(synth, channel, GEN_COARSETUNE, static_cast<float>(coarseTuneSemitones_));
}

}  // namespace synth
