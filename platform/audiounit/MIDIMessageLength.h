#pragma once

#include <cstdint>

// Length in bytes of the MIDI message that a status byte opens: program change and channel pressure carry one data
// byte, the other channel messages two; system common and real-time messages as the MIDI standard gives them.
// System exclusive (F0) has no fixed length and gives 0. Pure function; any thread, render thread included.
constexpr std::uint8_t midiMessageLength(std::uint8_t status) noexcept {
    switch (status & 0xF0) {
        case 0xC0:
        case 0xD0:
            return 2;
        case 0xF0:
            break;
        default:
            return 3;
    }
    switch (status) {
        case 0xF0:
            return 0;
        case 0xF1:
        case 0xF3:
            return 2;
        case 0xF2:
            return 3;
        default:
            return 1;
    }
}
