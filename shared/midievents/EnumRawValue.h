// Raw-value helpers of the byte enumerations: creation from a raw byte (fails outside the listed cases) and the
// "0x%02X" text form. Pure functions; any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

template <class Enum, std::size_t N>
constexpr std::optional<Enum> enumFromRawValue(const std::array<Enum, N>& cases, uint8_t rawValue) {
  for (Enum c : cases) {
    if (static_cast<uint8_t>(c) == rawValue) return c;
  }
  return std::nullopt;
}

// "0x" and two upper-case hexadecimal digits, zero padded.
inline std::string hexOfRawValue(uint8_t rawValue) {
  constexpr char digits[] = "0123456789ABCDEF";
  return {'0', 'x', digits[rawValue >> 4], digits[rawValue & 0x0F]};
}
