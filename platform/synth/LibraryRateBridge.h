#pragma once
// Renders the library at a rate it supports and brings its output to the unit's output rate. The library renders at
// 24000 to 96000 Hz; output rates from 12000 Hz up to 24000 Hz are rendered at twice the rate and halved, output
// rates above 96000 Hz up to 192000 Hz at half the rate and doubled, both through one half-band filter
// (HalfBandFilter.h), which delays the output by 31 frames at the higher rate of the two.
//
// Doubling makes output frames in pairs: a request for an odd count leaves the second frame of the last pair, and
// the next request starts with it.
//
// Thread contract: prepare() and construction on the control thread while nothing renders; reset() likewise or
// inside the owner's render exclusion; render() on the render thread, where it neither allocates, locks nor waits.

#include <cstdint>
#include <vector>

#include "platform/synth/HalfBandFilter.h"
#include "sampler/src/synth/korvel_synth.h"

namespace synth {

inline constexpr double kLowestOutputRateHz = 12000.0;
inline constexpr double kHighestOutputRateHz = 192000.0;

class LibraryRateBridge {
public:
    // Whether output at this rate can be made: kLowestOutputRateHz to kHighestOutputRateHz.
    static bool supports(double outputRateHz) noexcept;
    // The rate the library renders at for an output rate the bridge supports.
    static double libraryRateHz(double outputRateHz) noexcept;

    // Sets the bridge up for outputRateHz (supported) and renders of at most maximumFrames output frames; forgets
    // the signal so far.
    void prepare(double outputRateHz, std::uint32_t maximumFrames);
    // Forgets the signal so far.
    void reset() noexcept;
    // Writes frames output frames (at most prepare's maximumFrames) of the library's next output to left and right.
    void render(korvel_synth_t* synth, float* left, float* right, std::uint32_t frames) noexcept;
    // How many output frames the conversion delays the output by (0 when the library renders at the output rate).
    double delayFrames() const noexcept;

private:
    enum class Conversion { none, halving, doubling };

    void renderDoubled(korvel_synth_t* synth, float* left, float* right, std::uint32_t frames) noexcept;

    Conversion conversion_ = Conversion::none;
    HalfBandFilter filter_;
    std::vector<float> libraryLeft_;  // the library's frames for one render
    std::vector<float> libraryRight_;
    std::vector<float> doubledLeft_;  // doubling: the pairs of output frames of one render
    std::vector<float> doubledRight_;
    bool holding_ = false;  // doubling: a frame is left from the last render
    float heldLeft_ = 0.0f;
    float heldRight_ = 0.0f;
};

}  // namespace synth
