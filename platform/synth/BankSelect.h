#pragma once
// Which bank of the sound-bank model a channel's bank select picks. The rule is the one the generated banks and the
// DLS reader place their presets by: melodic banks at 128 x MSB + LSB, drum kits at bank 128, which the drum
// channel always plays (its program number picks the kit).
//
// Plain data; each ChannelBankSelect belongs to one thread (the render thread, or the control thread for preloading).

#include <array>
#include <cstdint>

namespace synth {

inline constexpr int kMIDIChannels = 16;
inline constexpr int kDrumChannel = 9;
inline constexpr unsigned kDrumKitBank = 128;

inline constexpr std::uint8_t kBankSelectMSBController = 0;
inline constexpr std::uint8_t kBankSelectLSBController = 32;

constexpr unsigned bankNumber(int channel, std::uint8_t msb, std::uint8_t lsb) {
    return channel == kDrumChannel ? kDrumKitBank : 128u * msb + lsb;
}

// The bank select controllers last received on each channel (7-bit values).
class ChannelBankSelect {
public:
    // Takes controller 0 or 32 of channel (0..15); false, and nothing kept, for any other controller.
    bool takeController(int channel, std::uint8_t controller, std::uint8_t value) noexcept {
        if (controller == kBankSelectMSBController) msb_[channel] = value & 0x7F;
        else if (controller == kBankSelectLSBController) lsb_[channel] = value & 0x7F;
        else return false;
        return true;
    }

    unsigned bank(int channel) const noexcept { return bankNumber(channel, msb_[channel], lsb_[channel]); }

private:
    std::array<std::uint8_t, kMIDIChannels> msb_{};
    std::array<std::uint8_t, kMIDIChannels> lsb_{};
};

}  // namespace synth
