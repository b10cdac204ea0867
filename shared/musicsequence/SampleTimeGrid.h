#pragma once
// The time base of the sample-timed event lists: a fixed grid of 120 beats per minute, samplerate * 0.5 samples per
// beat, whatever the song's tempo (the tempo reaches playback through the tempo markers).
//
// Plain functions; any thread.

#include <cmath>
#include <optional>

#include "platform/audiounit/RenderEvent.h"

// Samples per beat at a sample rate.
constexpr double samplesPerBeatAt(double samplerate) { return samplerate * 0.5; }

// trunc(samples): the value as a signed 64-bit sample time, truncated toward zero; none when it is not a number or
// lies outside the 64-bit range (it is refused rather than wrapped).
inline std::optional<AUEventSampleTime> truncatedSampleTime(double samples) {
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (!(samples > -kLimit && samples < kLimit)) return std::nullopt;
  return static_cast<AUEventSampleTime>(std::trunc(samples));
}

// The sample time of a position in beats: trunc(samplesPerBeat * beats).
inline std::optional<AUEventSampleTime> beatsToSampleTime(double samplesPerBeat, double beats) {
  return truncatedSampleTime(samplesPerBeat * beats);
}
