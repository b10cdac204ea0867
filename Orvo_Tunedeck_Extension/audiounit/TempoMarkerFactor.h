#pragma once

#include <optional>

#include "platform/audiounit/RenderEvent.h"

// The file player's tempo factor that an internal tempo marker asks for. A marker is an event whose message (read
// from its data field on) has at least nine bytes FD 51 t FF 51 03 b1 b2 b3, where b1 b2 b3 are the three high bytes
// of trunc(tempo × 500000); the factor is the tempo / 120 (that is (b1·2^24 + b2·2^16 + b3·2^8) / 60,000,000),
// clamped to 0.1 to 10.0. Any other event gives none. Pure; never allocates.
std::optional<double> tempoFactorFromMarker(const AUMIDIEvent& record) noexcept;
