#include "shared/musicsequence/TempoMarker.h"

#include <vector>

#include "shared/midievents/MIDIConstants.h"

namespace {

constexpr double kProductPerBeatPerMinute = 500000.0;
constexpr double kProductLimit = 4294967296.0;  // 2^32
constexpr std::uint8_t kFallbackTempoByte = 120;
// The byte count of the 32-bit product, handed to the record's length check; the record holds all nine bytes.
constexpr std::uint32_t kProductLength = 4;

}  // namespace

bool tempoMarkerCanCarry(double tempo) {
  const double product = tempo * kProductPerBeatPerMinute;
  return product >= 0.0 && product < kProductLimit;
}

std::shared_ptr<AUMIDIEventEx> makeTempoMarker(double tempo, AUEventSampleTime sampleTime, std::int64_t id) {
  const auto tempoByte = tempo > 0.0 && tempo < 255.0 ? static_cast<std::uint8_t>(tempo) : kFallbackTempoByte;
  const auto product = static_cast<std::uint32_t>(tempo * kProductPerBeatPerMinute);
  const std::vector<std::uint8_t> bytes = {STATUS_META,
                                           META_SETTEMPO,
                                           tempoByte,
                                           0xFF,
                                           META_SETTEMPO,
                                           0x03,
                                           static_cast<std::uint8_t>(product >> 24),
                                           static_cast<std::uint8_t>(product >> 16),
                                           static_cast<std::uint8_t>(product >> 8)};
  auto marker = std::make_shared<AUMIDIEventEx>(AURenderEventMIDISysEx, bytes, kProductLength, 0);
  marker->pEvent()->eventSampleTime = sampleTime;
  marker->id = id;
  marker->duration = tempo;
  return marker;
}
