#include "platform/audioengine/PeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace audioengine {

void PeakLimiter::prepare(double sampleRateHz, double maximumAttackSeconds) {
    sampleRate_ = sampleRateHz;
    capacity_ = std::max<uint32_t>(1, static_cast<uint32_t>(std::ceil(maximumAttackSeconds * sampleRateHz)) + 1);
    delayLeft_.assign(capacity_, 0.0f);
    delayRight_.assign(capacity_, 0.0f);
    required_.assign(capacity_, 1.0f);
    minima_.assign(capacity_, 1.0f);
    queue_.assign(capacity_ + 1, 0);
    length_ = std::min(length_, capacity_);
    restart();
}

void PeakLimiter::configure(const PeakLimiterSettings& settings) noexcept {
    const auto attackFrames = static_cast<long>(std::lround(std::max(0.0, settings.attackSeconds) * sampleRate_));
    const auto length = static_cast<uint32_t>(std::clamp<long>(attackFrames + 1, 1, capacity_));
    preGain_ = static_cast<float>(std::pow(10.0, settings.preGainDecibels / 20.0));
    // A hair below the ceiling, so that rounding in gain times sample cannot step over it.
    ceiling_ = static_cast<float>(std::pow(10.0, settings.ceilingDecibels / 20.0) * (1.0 - 1e-5));
    const double releaseFrames = std::max(1.0, settings.releaseSeconds * sampleRate_);
    releaseCoefficient_ = static_cast<float>(1.0 - std::exp(-1.0 / releaseFrames));
    if (length != length_) {
        length_ = length;
        restart();
    }
}

void PeakLimiter::restart() noexcept {
    std::fill(delayLeft_.begin(), delayLeft_.end(), 0.0f);
    std::fill(delayRight_.begin(), delayRight_.end(), 0.0f);
    std::fill(required_.begin(), required_.end(), 1.0f);
    std::fill(minima_.begin(), minima_.end(), 1.0f);
    queueHead_ = queueSize_ = 0;
    position_ = 0;
    minimaSum_ = static_cast<double>(length_);
    gain_ = 1.0f;
}

bool PeakLimiter::atRest() const noexcept {
    return gain_ == 1.0f && minimaSum_ == static_cast<double>(length_);
}

namespace {

// Frame by frame: slots[i] takes signal[i] x gain, and signal[i] the slot after it, which the run has not written yet.
void delayRun(float* __restrict slots, float* __restrict signal, float gain, uint32_t n) noexcept {
    for (uint32_t i = 0; i < n; ++i) {
        const float in = signal[i] * gain;
        signal[i] = slots[i + 1];
        slots[i] = in;
    }
}

}  // namespace

// In runs that end before the last slot; the frame at the last slot writes it and reads the first.
void PeakLimiter::passThrough(float* left, float* right, uint32_t frames) noexcept {
    const uint32_t length = length_;
    auto slot = static_cast<uint32_t>(position_ % length);
    for (uint32_t done = 0; done < frames;) {
        const uint32_t run = std::min(frames - done, length - 1 - slot);
        if (run == 0) {
            delayLeft_[slot] = left[done] * preGain_;
            delayRight_[slot] = right[done] * preGain_;
            left[done] = delayLeft_[0];
            right[done] = delayRight_[0];
            slot = 0;
            ++done;
            continue;
        }
        delayRun(delayLeft_.data() + slot, left + done, preGain_, run);
        delayRun(delayRight_.data() + slot, right + done, preGain_, run);
        slot += run;
        done += run;
    }
    position_ += frames;
    // Every frame needed gain 1, so each one emptied the queue before joining it: only the last is left.
    queueHead_ = 0;
    queueSize_ = 1;
    queue_[0] = position_ - 1;
}

void PeakLimiter::process(float* left, float* right, uint32_t frames) noexcept {
    if (frames > 0 && atRest()) {
        // A count of frames over the ceiling, not a loudest value, so that the loop runs four frames at a time.
        const float preGain = preGain_;
        const float ceiling = ceiling_;
        int32_t loud = 0;
        for (uint32_t i = 0; i < frames; ++i)
            loud |= static_cast<int32_t>(std::fabs(left[i] * preGain) > ceiling) |
                    static_cast<int32_t>(std::fabs(right[i] * preGain) > ceiling);
        if (loud == 0) {
            passThrough(left, right, frames);
            return;
        }
    }
    const uint32_t length = length_;
    for (uint32_t i = 0; i < frames; ++i) {
        const float inLeft = left[i] * preGain_;
        const float inRight = right[i] * preGain_;
        const float peak = std::max(std::fabs(inLeft), std::fabs(inRight));
        const float need = peak > ceiling_ ? ceiling_ / peak : 1.0f;

        const auto slot = static_cast<uint32_t>(position_ % length);
        delayLeft_[slot] = inLeft;
        delayRight_[slot] = inRight;
        required_[slot] = need;

        while (queueSize_ > 0 &&
               required_[queue_[(queueHead_ + queueSize_ - 1) % queue_.size()] % length] >= need)
            --queueSize_;
        queue_[(queueHead_ + queueSize_) % queue_.size()] = position_;
        ++queueSize_;
        while (queue_[queueHead_] + length <= position_) {
            queueHead_ = static_cast<uint32_t>((queueHead_ + 1) % queue_.size());
            --queueSize_;
        }
        const float minimum = required_[queue_[queueHead_] % length];

        minimaSum_ += static_cast<double>(minimum) - static_cast<double>(minima_[slot]);
        minima_[slot] = minimum;

        // The frame leaving the delay line is the oldest of the last L, at the next slot.
        const auto outSlot = static_cast<uint32_t>((position_ + 1) % length);
        const float target = std::min(static_cast<float>(minimaSum_ / length), required_[outSlot]);
        if (target < gain_) {
            gain_ = target;
        } else {
            gain_ += (target - gain_) * releaseCoefficient_;
        }
        left[i] = delayLeft_[outSlot] * gain_;
        right[i] = delayRight_[outSlot] * gain_;
        ++position_;
    }
}

}  // namespace audioengine
