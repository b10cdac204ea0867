#include "sampler/src/voice/korvel_sampler.h"

#include <cmath>
#include <cstdio>
#include <new>

namespace {

constexpr float kDefaultRate = 48000.0f;

inline double toUnit(float sample) { return sample; }
inline double toUnit(short sample) { return sample * (1.0 / 32768.0); }

}  // namespace

template <typename Sample>
BasicSampler<Sample>::BasicSampler() {
  init();
  setSamplerate(kDefaultRate);
  setRepeatTime(120.0f, 1.0f);
}

template <typename Sample>
void BasicSampler<Sample>::init() {
  wave_ = nullptr;
  envelope_ = nullptr;
  size_ = 0;
  position_ = 0.0;
  pitch_ = 1.0f;
  samplingFactor_ = 1.0f;
  playRatio_ = 0.0f;
  loopStart_ = 0.0f;
  loopEnd_ = 0.0f;
  lastIndex_ = 0.0f;
  repeatTime_ = 22050.0f;
  tempo_ = 120.0f;
  waveRate_ = 0.0f;
  outputRate_ = kDefaultRate;
  loop_ = false;
}

template <typename Sample>
void BasicSampler<Sample>::setSamplerate(float rate) {
  outputRate_ = rate;
  if (rate > 0.0f) pitch_ = waveRate_ / rate;
}

template <typename Sample>
void BasicSampler<Sample>::setWave(const Sample* wave, int size, float rate) {
  init();
  if (rate < 1.0f) return;
  if (size < 1) {
    std::printf("ERROR: wave size is less than or zero.\n");
    return;
  }
  wave_ = wave;
  size_ = size;
  lastIndex_ = static_cast<float>(size - 1);
  loopStart_ = 0.0f;
  loopEnd_ = lastIndex_;
  position_ = 0.0;
  waveRate_ = rate;
  pitch_ = rate / kDefaultRate;
}

template <typename Sample>
void BasicSampler<Sample>::setLoopPoints(int start, int end, bool loop) {
  if (!wave_) {
    std::printf("WARNING: The wave pointer for the sampler is zero.\n");
    return;
  }
  loop_ = loop;
  if (!loop) {
    loopStart_ = 0.0f;
    loopEnd_ = 0.0f;
    return;
  }
  const int last = static_cast<int>(lastIndex_);
  if (start < 0 || start > last) start = 0;
  if (end < 0) end = 0;
  if (end > last) end = last;
  loopStart_ = static_cast<float>(start < end ? start : end);
  loopEnd_ = static_cast<float>(end);
  if (end <= start) loop_ = false;
}

template <typename Sample>
void BasicSampler<Sample>::setCallbacks(void* data, Callback loop, Callback start, Callback end) {
  userData_ = data;
  loopCallback_ = loop;
  startCallback_ = start;
  endCallback_ = end;
}

template <typename Sample>
void BasicSampler<Sample>::reset() {
  position_ = loopStart_;
}

template <typename Sample>
void BasicSampler<Sample>::retrigger(bool active) {
  setActive(active);
}

template <typename Sample>
void BasicSampler<Sample>::setActive(bool active) {
  active_ = active;
  position_ = loopStart_;
}

template <typename Sample>
void BasicSampler<Sample>::setPlayPosition(float ratio) {
  if (!wave_) return;
  if (ratio < 0.0f) ratio = 0.0f;
  if (ratio > 1.0f) ratio = 1.0f;
  playRatio_ = ratio;
  position_ = static_cast<double>(ratio) * lastIndex_;
}

template <typename Sample>
float BasicSampler<Sample>::getPlayPosition() const {
  if (lastIndex_ <= 0.0f) return 0.0f;
  double ratio = position_ / lastIndex_;
  if (ratio < 0.0) ratio = 0.0;
  if (ratio > lastIndex_) ratio = lastIndex_;
  return static_cast<float>(ratio);
}

template <typename Sample>
void BasicSampler<Sample>::setPlayPositionLong(int index) {
  if (!wave_) return;
  const int last = static_cast<int>(lastIndex_);
  if (index < 0) index = 0;
  if (index > last) index = last;
  playRatio_ = last == 0 ? 0.0f : static_cast<float>(index) / static_cast<float>(last);
  position_ = static_cast<double>(playRatio_) * lastIndex_;
}

template <typename Sample>
int BasicSampler<Sample>::getPlayPositionLong() const {
  const int last = static_cast<int>(lastIndex_);
  long index = std::lround(position_);
  if (index < 0) index = 0;
  if (index > last) index = last;
  return static_cast<int>(index);
}

template <typename Sample>
void BasicSampler<Sample>::setRepeatTime(float tempo, float factor) {
  repeatTime_ = tempo / 120.0f * outputRate_ / 2.0f * factor;
  tempo_ = tempo;
}

template <typename Sample>
void BasicSampler<Sample>::process(float* buf, int n) {
  if (!canProcess(buf, n)) return;
  for (int i = 0; i < n; ++i) buf[i] += static_cast<float>(tick(i));
}

template <typename Sample>
void BasicSampler<Sample>::processReplacing(float* buf, int n) {
  if (!canProcess(buf, n)) return;
  for (int i = 0; i < n; ++i) buf[i] = static_cast<float>(tick(i));
}

template <typename Sample>
void BasicSampler<Sample>::processReplacing(float* buf, int n, float gain, float gainIncrement) {
  if (!canProcess(buf, n)) return;
  for (int i = 0; i < n; ++i) {
    buf[i] = static_cast<float>(gain * tick(i));
    gain += gainIncrement;
  }
}

template <typename Sample>
void BasicSampler<Sample>::fireOnce(Callback& callback, int frame) {
  if (!callback) return;
  Callback call = callback;
  callback = nullptr;
  call(userData_, this, frame);
}

template <typename Sample>
void BasicSampler<Sample>::endReached(int frame) {
  fireOnce(endCallback_, frame);
  active_ = false;
  position_ = loopStart_;
}

// A sampler that has stopped within a process call stays silent for the rest of it.
template <typename Sample>
double BasicSampler<Sample>::tick(int frame) {
  if (!wave_ || !active_) return 0.0;
  const double step = static_cast<double>(pitch_) * samplingFactor_;
  return loop_ ? tickLooped(frame, step) : tickOnce(frame, step);
}

template <typename Sample>
double BasicSampler<Sample>::tickOnce(int frame, double step) {
  const int last = static_cast<int>(lastIndex_);
  const double old = position_;
  if (step > 0.0) {
    const int i0 = static_cast<int>(old);
    const int i1 = i0 + 1 <= last ? i0 + 1 : 0;
    position_ += step;
    if (position_ > 0.0) fireOnce(startCallback_, frame);
    const double frac = old - i0;
    if (position_ >= lastIndex_) endReached(frame);
    return interpolate(i0, i1, frac);
  }
  if (step < 0.0) {
    // Backwards the position runs from 0 down to -last index; index i0 is reached first, i1 next.
    const int i0 = static_cast<int>(old) + last;
    const int i1 = i0 > 0 ? i0 - 1 : last;
    position_ += step;
    if (position_ < 0.0) fireOnce(startCallback_, frame);
    const double frac = i0 - (old + last);
    if (position_ <= -lastIndex_) endReached(frame);
    return interpolate(i0, i1, frac);
  }
  return interpolate(0, 0, 1.0);
}

template <typename Sample>
double BasicSampler<Sample>::tickLooped(int frame, double step) {
  if (loopStart_ == loopEnd_) return 0.0;
  const double old = position_;
  int i0, i1;
  double frac;
  if (step >= 0.0) {
    i0 = static_cast<int>(old);
    i1 = i0 + 1 <= loopEnd_ ? i0 + 1 : static_cast<int>(loopStart_);
    frac = old - i0;
    position_ += step;
    if (position_ > loopEnd_) {
      position_ = position_ - loopEnd_ + loopStart_;
      if (loopCallback_) loopCallback_(userData_, this, frame);
    } else if (position_ < loopStart_) {
      position_ = 2.0 * loopStart_ - position_;
      if (loopCallback_) loopCallback_(userData_, this, frame);
    }
  } else {
    i0 = static_cast<int>(std::ceil(old));
    i1 = i0 - 1 >= loopStart_ ? i0 - 1 : static_cast<int>(loopEnd_);
    frac = i0 - old;
    position_ += step;
    if (position_ < loopStart_) {
      position_ = loopEnd_ - (loopStart_ - position_);
      if (loopCallback_) loopCallback_(userData_, this, frame);
    } else if (position_ > loopEnd_) {
      position_ = 2.0 * loopEnd_ - position_;
      if (loopCallback_) loopCallback_(userData_, this, frame);
    }
  }
  if (position_ < loopStart_) position_ = loopStart_;
  if (position_ > loopEnd_) position_ = loopEnd_;
  return interpolate(i0, i1, frac);
}

template <typename Sample>
double BasicSampler<Sample>::interpolate(int i0, int i1, double frac) {
  const int last = static_cast<int>(lastIndex_);
  const int fallback = last > 0 ? last - 1 : 0;
  if (i0 > last) {
    std::printf("WARNING: Sample index is > loop length (%d) : %f.\n", i0, static_cast<double>(lastIndex_));
    i0 = fallback;
    active_ = false;
    position_ = loopStart_;
  } else if (i0 < 0) {
    std::printf("WARNING: Sample index is less than zero (%d).\n", i0);
    i0 = 0;
    active_ = false;
    position_ = loopStart_;
  }
  if (i1 > last) {
    std::printf("WARNING: Sample index1 is > loop length (%d) : %f.\n", i1, static_cast<double>(lastIndex_));
    i1 = fallback;
  } else if (i1 < 0) {
    std::printf("WARNING: Sample index1 is less than zero (%d).\n", i1);
    i1 = 0;
  }
  const double w0 = toUnit(wave_[i0]);
  const double out = w0 + frac * (toUnit(wave_[i1]) - w0);
  return envelope_ ? out * envelope_[i0] : out;
}

template class BasicSampler<float>;
template class BasicSampler<short>;

extern "C" {

Sampler* sampler_create(void) { return new (std::nothrow) Sampler; }

void sampler_destroy(Sampler* sampler) { delete sampler; }

void sampler_set_pitch(Sampler* sampler, float factor) {
  if (sampler) sampler->setSamplingFactor(factor);
}

void sampler_set_wave(Sampler* sampler, const float* wave, int size, float rate) {
  if (!sampler) return;
  sampler->setWave(wave, size, rate);
  sampler->setActive(wave != nullptr);
}

void sampler_set_loops(Sampler* sampler, int start, int end, int loop) {
  if (sampler) sampler->setLoopPoints(start, end, loop != 0);
}

void sampler_process(Sampler* sampler, float* buf, int n) {
  if (sampler) sampler->processReplacing(buf, n);
}

void sampler_process2(Sampler* sampler, float* buf, int n, float gain, float increment) {
  if (sampler) sampler->processReplacing(buf, n, gain, increment);
}

}  // extern "C"
