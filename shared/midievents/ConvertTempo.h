// Conversions between tempo numbers and the big-endian bytes of tempo events. Stateless; any thread except the
// render thread (the refusals log).
#pragma once

#include <array>
#include <cstdint>
#include <span>

class ConvertTempo {
 public:
  // number / 60,000,000.0.
  static double numberToTempo(uint32_t number);
  // tempo * 500,000.0, truncated toward zero. Not the inverse of numberToTempo: numberToTempo(tempoToNumber(t)) is
  // t / 120. A product outside 0 to 4,294,967,295 (or not a number) is logged and clamped to that range (NaN to 0).
  static uint32_t tempoToNumber(double tempo);
  // Big-endian: bytes[0] is the top byte; bytes past the fourth are ignored. Under four bytes: logged, 0.
  static uint32_t bytesToNumber(std::span<const uint8_t> bytes);
  // The number big-endian, most significant byte first: 60,000,000 gives 03 93 87 00.
  static std::array<uint8_t, 4> numberToBytes(uint32_t number);
};
