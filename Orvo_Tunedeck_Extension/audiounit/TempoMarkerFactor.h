#pragma once

#include <optional>

#include "shared/events/AUMIDIEventEx.h"

// The file player's tempo factor that an internal tempo marker asks for. A marker is a record of at least nine bytes
// FD 51 t FF 51 03 b1 b2 b3, where b1 b2 b3 are the three high bytes of trunc(tempo × 500000); the factor is the
// tempo / 120 (that is (b1·2^24 + b2·2^16 + b3·2^8) / 60,000,000), clamped to 0.1 to 10.0. Any other record gives
// none. Pure; never allocates.
std::optional<double> tempoFactorFromMarker(const AUMIDIEventEx& record) noexcept;
