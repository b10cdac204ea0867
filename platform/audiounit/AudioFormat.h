#pragma once
// The one sample format units and engine nodes exchange: 32-bit float, non-interleaved, at a sample rate with a
// channel count. Plain value; safe on any thread.

#include <cstdint>
#include <cstdio>
#include <string>

struct AudioFormat {
    double sampleRate = 0.0;    // Hz; 0 means "no format"
    uint32_t channelCount = 0;  // one buffer per channel

    static AudioFormat standard(double sampleRateHz, uint32_t channels) { return {sampleRateHz, channels}; }

    bool isValid() const { return sampleRate > 0.0 && channelCount > 0; }
    // Every valid format here is 32-bit float and non-interleaved.
    bool isInterleaved() const { return false; }
    bool isStandard() const { return isValid(); }
    uint32_t bitsPerSample() const { return 32; }

    bool operator==(const AudioFormat&) const = default;

    std::string description() const {
        if (!isValid()) return "<no format>";
        char text[96];
        std::snprintf(text, sizeof text, "<%u ch, %.0f Hz, 32-bit float, non-interleaved>", channelCount, sampleRate);
        return text;
    }
};
