// Decoded payloads of four meta events (Tempo, SMTPOffset, TimeSignature, KeySignature), plus the 14-bit pitch-bend
// pair. Getters return fresh copies, so editing one leaves its event untouched. Any thread.
#pragma once

#include <cstdint>

// The three tempo bytes of a set-tempo meta event (24-bit big-endian microseconds per quarter note). value is not
// filled by the getter.
struct Tempo {
  uint8_t b1 = 0;
  uint8_t b2 = 0;
  uint8_t b3 = 0;
  uint32_t value = 0;
};

// The five bytes of an SMPTE-offset meta event.
struct SMTPOffset {
  uint8_t hours = 0;
  uint8_t minutes = 0;
  uint8_t seconds = 0;
  uint8_t frames = 0;
  uint8_t fract = 0;
};

// A time signature as the getter returns it: the denominator itself (not the file's power-of-two exponent), MIDI
// clocks per metronome click (_8th) and thirty-second notes per quarter note (_32nd). Starts as 4/4, 24, 8.
struct TimeSignature {
  uint8_t numerator = 4;
  uint8_t denumerator = 4;
  uint8_t _8th = 24;
  uint8_t _32nd = 8;
};

// sf > 0 counts sharps, sf < 0 (two's complement) flats; mi 1 is minor, 0 major.
struct KeySignature {
  uint8_t sf = 0;
  uint8_t mi = 0;
};

// The pitch-bend data bytes in the order the sequence stores them (msb first), with a cached 16-bit value.
struct PitchBend {
  uint8_t msb = 0;
  uint8_t lsb = 0;
  uint16_t value = 0;

  // msb + 256 * lsb, cached in value.
  uint16_t getIntValue() {
    value = static_cast<uint16_t>(msb + 256 * lsb);
    return value;
  }
  // Inverse of getIntValue.
  void setIntValue(uint16_t newValue) {
    value = newValue;
    msb = static_cast<uint8_t>(newValue & 0xFF);
    lsb = static_cast<uint8_t>(newValue >> 8);
  }
};
