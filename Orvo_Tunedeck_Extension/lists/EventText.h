// The texts of one row of the event list: six labels for one MIDI event, and the one-line name of the event.
//
// Plain functions; any thread except the render thread (they allocate).
#pragma once

#include <cstdint>
#include <string>

// Fixed-width label, data1 in hex ("%2X"), " VEL " for notes or " VAL " otherwise, data2 in decimal:
// "NOTE ON     3C VEL 100", "VOLUME       7 VAL 127", "SYSEX        7E VAL ...".
std::string formatEvent(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
