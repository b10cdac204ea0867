#pragma once
// Second-order IIR sections for the equaliser.

#include <cstdint>

namespace audioengine {

// Normalised coefficients (a0 = 1) of y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2.
struct BiquadCoefficients {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
};

// A peaking filter: gainDecibels at centreHz, falling back to 0 dB outside a band bandwidthOctaves wide (measured
// between the points of half the gain in dB). Formulas from R. Bristow-Johnson, "Cookbook formulae for audio EQ
// biquad filter coefficients" (peakingEQ, bandwidth form). The centre is kept below 0.49 of the sample rate and the
// bandwidth within 0.05 to 5 octaves. Any thread.
BiquadCoefficients peakingCoefficients(double sampleRateHz, double centreHz, double bandwidthOctaves,
                                       double gainDecibels) noexcept;

// The filter's state for one channel, transposed direct form II in double precision.
class BiquadState {
public:
    void reset() noexcept { z1_ = z2_ = 0.0; }
    // Filters frames samples of buffer in place. Render thread.
    void process(const BiquadCoefficients& c, float* buffer, uint32_t frames) noexcept;

private:
    double z1_ = 0.0;
    double z2_ = 0.0;
};

}  // namespace audioengine
