#include "shared/midievents/ConvertTempo.h"

#include <cmath>
#include <limits>
#include <string>

#include "platform/foundation/NumberText.h"
#include "shared/globals/Print.h"

double ConvertTempo::numberToTempo(uint32_t number) { return number / 60'000'000.0; }

uint32_t ConvertTempo::tempoToNumber(double tempo) {
  constexpr double largest = std::numeric_limits<uint32_t>::max();
  const double product = std::trunc(tempo * 500'000.0);
  if (product >= 0.0 && product <= largest) return static_cast<uint32_t>(product);
  const uint32_t clamped = product > largest ? std::numeric_limits<uint32_t>::max() : 0;
  safeprint("Fehler: Das Tempo " + foundation::numberText(tempo) +
            " liegt außerhalb des darstellbaren Bereichs und wurde auf " + std::to_string(clamped) + " begrenzt.");
  return clamped;
}

uint32_t ConvertTempo::bytesToNumber(std::span<const uint8_t> bytes) {
  if (bytes.size() < 4) {
    safeprint("Fehler: Für die Tempo Zahl werden 4 Bytes benötigt, erhalten wurden " + std::to_string(bytes.size()) +
              ".");
    return 0;
  }
  return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

std::array<uint8_t, 4> ConvertTempo::numberToBytes(uint32_t number) {
  return {static_cast<uint8_t>(number >> 24), static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 8),
          static_cast<uint8_t>(number)};
}
