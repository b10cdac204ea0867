#pragma once
// Where in a render buffer an event takes effect.
//
// Pure function; any thread.

#include <algorithm>
#include <cstdint>

#include "platform/audiounit/RenderEvent.h"

namespace synth {

// Times below this are "immediate + offset"; absolute sample times never come near it.
inline constexpr AUEventSampleTime kImmediateTimeLimit = kAUEventSampleTimeImmediate / 2;

// The frame (0..frames - 1) of a buffer of frames frames (at least 1) that starts at sample time bufferStart at
// which an event at eventSampleTime takes effect. Times before the buffer take effect at its first frame, times after
// it at its last.
constexpr std::uint32_t eventFrameOffset(AUEventSampleTime eventSampleTime, AUEventSampleTime bufferStart,
                                         std::uint32_t frames) {
    const AUEventSampleTime offset = eventSampleTime < kImmediateTimeLimit
                                         ? eventSampleTime - kAUEventSampleTimeImmediate
                                         : eventSampleTime - bufferStart;
    return static_cast<std::uint32_t>(std::clamp<AUEventSampleTime>(offset, 0, AUEventSampleTime{frames} - 1));
}

}  // namespace synth
