#include "platform/synth/LibraryRateBridge.h"

#include <algorithm>

#include "sampler/src/synth/korvel_synth_render.h"

namespace synth {

namespace {

constexpr double kLowestLibraryRateHz = 24000.0;
constexpr double kHighestLibraryRateHz = 96000.0;

void writeLibraryFrames(korvel_synth_t* synth, float* left, float* right, std::size_t frames) noexcept {
    korvel_synth_write_float(synth, static_cast<int>(frames), left, 0, 1, right, 0, 1);
}

}  // namespace

bool LibraryRateBridge::supports(double outputRateHz) noexcept {
    return outputRateHz >= kLowestOutputRateHz && outputRateHz <= kHighestOutputRateHz;
}

double LibraryRateBridge::libraryRateHz(double outputRateHz) noexcept {
    if (outputRateHz < kLowestLibraryRateHz) return 2.0 * outputRateHz;
    if (outputRateHz > kHighestLibraryRateHz) return outputRateHz / 2.0;
    return outputRateHz;
}

void LibraryRateBridge::prepare(double outputRateHz, std::uint32_t maximumFrames) {
    const double libraryRate = libraryRateHz(outputRateHz);
    // Halving renders two library frames per output frame; doubling one per pair of output frames, the last pair
    // perhaps half used. The library writes straight into the output at the output rate.
    const std::uint32_t pairs = (maximumFrames + 1) / 2;
    std::uint32_t lowerRateFrames = 0;
    std::size_t libraryFrames = 0;
    std::size_t doubledFrames = 0;
    if (libraryRate > outputRateHz) {
        conversion_ = Conversion::halving;
        lowerRateFrames = maximumFrames;
        libraryFrames = 2 * std::size_t{maximumFrames};
    } else if (libraryRate < outputRateHz) {
        conversion_ = Conversion::doubling;
        lowerRateFrames = pairs;
        libraryFrames = pairs;
        doubledFrames = 2 * std::size_t{pairs};
    } else {
        conversion_ = Conversion::none;
    }
    filter_ = HalfBandFilter(lowerRateFrames);
    libraryLeft_.assign(libraryFrames, 0.0f);
    libraryRight_.assign(libraryFrames, 0.0f);
    doubledLeft_.assign(doubledFrames, 0.0f);
    doubledRight_.assign(doubledFrames, 0.0f);
    holding_ = false;
}

void LibraryRateBridge::reset() noexcept {
    filter_.reset();
    holding_ = false;
}

double LibraryRateBridge::delayFrames() const noexcept {
    constexpr auto kHigherRateFrames = static_cast<double>(HalfBandFilter::kDelayHigherRateFrames);
    switch (conversion_) {
    case Conversion::halving:
        return kHigherRateFrames / 2.0;
    case Conversion::doubling:
        return kHigherRateFrames;
    case Conversion::none:
        break;
    }
    return 0.0;
}

void LibraryRateBridge::render(korvel_synth_t* synth, float* left, float* right, std::uint32_t frames) noexcept {
    if (frames == 0) return;
    switch (conversion_) {
    case Conversion::none:
        writeLibraryFrames(synth, left, right, frames);
        break;
    case Conversion::halving:
        writeLibraryFrames(synth, libraryLeft_.data(), libraryRight_.data(), 2 * std::size_t{frames});
        filter_.decimate(libraryLeft_.data(), libraryRight_.data(), left, right, frames);
        break;
    case Conversion::doubling:
        renderDoubled(synth, left, right, frames);
        break;
    }
}

void LibraryRateBridge::renderDoubled(korvel_synth_t* synth, float* left, float* right,
                                      std::uint32_t frames) noexcept {
    if (holding_) {
        *left++ = heldLeft_;
        *right++ = heldRight_;
        holding_ = false;
        if (--frames == 0) return;
    }
    const std::uint32_t pairs = (frames + 1) / 2;
    writeLibraryFrames(synth, libraryLeft_.data(), libraryRight_.data(), pairs);
    filter_.interpolate(libraryLeft_.data(), libraryRight_.data(), doubledLeft_.data(), doubledRight_.data(), pairs);
    std::copy_n(doubledLeft_.begin(), frames, left);
    std::copy_n(doubledRight_.begin(), frames, right);
    if (frames % 2 != 0) {
        holding_ = true;
        heldLeft_ = doubledLeft_[frames];
        heldRight_ = doubledRight_[frames];
    }
}

}  // namespace synth
