#pragma once
// Halves the sample rate of a stereo signal: a linear-phase half-band low-pass (a Blackman-windowed sinc cut at a
// quarter of the input rate) followed by keeping every second frame. It lets the stand-in play at output rates below
// the lowest rate the library renders at: the library renders at twice the output rate and this brings it down.
//
// The output lags the input by 15.5 output frames. With 63 taps the response is flat (within 0.002 dB) up to 0.4 of
// the output rate and at least 70 dB down from 0.6 of it
// (windowed-sinc design: A. V. Oppenheim, R. W. Schafer, Discrete-Time Signal Processing, 3rd ed., section 7.5).
//
// Thread contract: reset() and construction on the control thread while nothing renders; process() on the render
// thread, where it neither allocates, locks nor waits.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

class HalfBandDecimator {
public:
    static constexpr std::size_t kTaps = 63;

    // maximumOutputFrames: the most frames one process() call writes.
    explicit HalfBandDecimator(std::uint32_t maximumOutputFrames = 0);

    // Forgets the signal so far (silence before the next input).
    void reset() noexcept;
    // Reads 2 × outputFrames frames of each input channel and writes outputFrames frames of each output channel.
    // outputFrames at most the constructor's maximumOutputFrames.
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                 std::uint32_t outputFrames) noexcept;

    static const std::array<double, kTaps>& coefficients() noexcept;

private:
    // One channel's input: the last kTaps - 1 frames of the previous call, then this call's frames.
    void filterChannel(std::vector<float>& history, const float* in, float* out, std::uint32_t outputFrames) noexcept;

    std::vector<float> left_;
    std::vector<float> right_;
};

}  // namespace synth
