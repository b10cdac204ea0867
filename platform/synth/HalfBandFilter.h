#pragma once
// Halves or doubles the sample rate of a stereo signal through one linear-phase half-band low-pass (a
// Blackman-windowed sinc cut at a quarter of the higher rate). Halving filters and keeps every second frame; doubling
// puts a zero between frames and filters (at twice the gain). It lets the stand-in play at output rates outside the
// range the library renders at: below it the library renders at twice the output rate, above it at half.
//
// Either way the result lags its input by 31 frames of the higher rate (15.5 of the lower). With 63 taps the response
// is flat (within 0.002 dB) up to 0.4 of the lower rate and at least 70 dB down from 0.6 of it, so what would fold
// back (halving) or the images (doubling) are that far down
// (windowed-sinc design: A. V. Oppenheim, R. W. Schafer, Discrete-Time Signal Processing, 3rd ed., section 7.5;
// interpolation by zero insertion and filtering: ibid., section 4.6.2).
//
// One filter works in one direction: its history is of that direction's signal; reset() before turning it round.
//
// Thread contract: reset() and construction on the control thread while nothing renders; decimate() and
// interpolate() on the render thread, where they neither allocate, lock nor wait.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

class HalfBandFilter {
public:
    static constexpr std::size_t kTaps = 63;
    // The lag of the output behind the input, in frames of the higher of the two rates.
    static constexpr std::size_t kDelayHigherRateFrames = kTaps / 2;

    // maximumLowerRateFrames: the most frames of the lower rate one call reads (interpolate) or writes (decimate).
    explicit HalfBandFilter(std::uint32_t maximumLowerRateFrames = 0);

    // Forgets the signal so far (silence before the next input).
    void reset() noexcept;
    // Reads 2 × outputFrames frames of each input channel and writes outputFrames frames of each output channel.
    // outputFrames at most the constructor's maximumLowerRateFrames.
    void decimate(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                  std::uint32_t outputFrames) noexcept;
    // Reads inputFrames frames of each input channel and writes 2 × inputFrames frames of each output channel.
    // inputFrames at most the constructor's maximumLowerRateFrames.
    void interpolate(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                     std::uint32_t inputFrames) noexcept;

    static const std::array<double, kTaps>& coefficients() noexcept;

private:
    // A channel's signal at the higher rate: the last kTaps - 1 frames of the previous call, then this call's.
    using History = std::vector<float>;
    // Filters the history's 2 × outputFrames frames after the kept ones into outputFrames frames, one every second
    // frame; then keeps the last kTaps - 1 frames for the next call.
    static void decimateChannel(History& history, float* out, std::size_t outputFrames) noexcept;
    // Filters a history of input frames with zeros between them into outputFrames frames (an even count), leaving
    // out the products with those zeros; then keeps the last kTaps - 1 frames.
    static void interpolateChannel(History& history, float* out, std::size_t outputFrames) noexcept;
    // Moves the last kTaps - 1 frames of the history, after newFrames new ones, to its start.
    static void keepLast(History& history, std::size_t newFrames) noexcept;

    History left_;
    History right_;
};

}  // namespace synth
