#pragma once

#include <string>

// The numbers the panel shows, from its 0-to-1 values. A value that is not a number shows as "0".
// Pure functions; any thread.

// Main volume: the integer part of value x 127 ("100" for 0.79).
std::string volumeText(double value);
// Transposition in semitones, value x 24 - 12 rounded half away from zero as the value sent to the instrument is:
// "-12", "0", "12"; never "-0".
std::string transposeText(double value);
// Progress: the integer part of value x 100 followed by " %" ("50 %").
std::string progressText(double value);
