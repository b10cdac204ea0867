#include "Orvo_Tunedeck_Extension/audiounit/TempoMarkerFactor.h"

#include <algorithm>
#include <cstdint>

#include "shared/events/MIDIBytes.h"
#include "shared/midievents/MIDIConstants.h"

namespace {

constexpr std::uint32_t kMarkerBytes = 9;
// tempo × 500000 at 120 beats per minute: the product that stands for a factor of 1.
constexpr double kProductAtFactorOne = 60000000.0;
constexpr double kMinimumFactor = 0.1;
constexpr double kMaximumFactor = 10.0;

}  // namespace

std::optional<double> tempoFactorFromMarker(const AUMIDIEvent& record) noexcept {
    const std::uint8_t* bytes = midiBytes(record);
    if (record.length < kMarkerBytes || bytes[0] != STATUS_META || bytes[1] != META_SETTEMPO) {
        return std::nullopt;
    }
    const double product = static_cast<double>((std::uint32_t{bytes[6]} << 24) | (std::uint32_t{bytes[7]} << 16) |
                                                (std::uint32_t{bytes[8]} << 8));
    return std::clamp(product / kProductAtFactorOne, kMinimumFactor, kMaximumFactor);
}
