#pragma once
// Plays one wave at any speed and direction, one-shot or looped, interpolating linearly, with an optional per-index
// gain and three callbacks (each loop; start and end once).
// `Sampler` plays 32-bit float waves; `BasicSampler<short>` plays 16-bit data scaled by 1/32768, which is what the
// oscillator hands its sampler.
//
// Thread contract: no locks inside; one thread at a time per sampler. Processing allocates nothing; its index
// guards print warnings, so a renderer that cannot afford output keeps its indices inside the wave.

#include <cstdint>

template <typename Sample>
class BasicSampler {
 public:
  // Called with the user data, the sampler and the frame index within the current process call.
  using Callback = void (*)(void* data, BasicSampler* sampler, int frame);

  BasicSampler();

  // Puts every field back to its start value (see the definition): no wave, not looping.
  void init();
  // Output rate; with a rate above 0 the pitch becomes wave rate / rate.
  void setSamplerate(float rate);
  // Resets as init, then takes the wave (not owned): a rate below 1 or a size below 1 leaves no wave.
  void setWave(const Sample* wave, int size, float rate);
  // Loop points in samples from the wave's start; a loop whose end is not after its start is switched off.
  void setLoopPoints(int start, int end, bool loop);
  void setLoop(bool loop) { loop_ = loop; }
  void setSamplingFactor(float factor) { samplingFactor_ = factor; }
  // A gain per sample index (not owned), or none.
  void setEnvelope(const float* envelope) { envelope_ = envelope; }
  void setCallbacks(void* data, Callback loop, Callback start, Callback end);
  void reset();
  void retrigger(bool active);
  void setActive(bool active);
  bool isActive() const { return active_; }
  // Position as a ratio 0..1 of the wave, or as a sample index.
  void setPlayPosition(float ratio);
  float getPlayPosition() const;
  void setPlayPositionLong(int index);
  int getPlayPositionLong() const;
  // In samples: tempo / 120 x output rate / 2 x factor.
  void setRepeatTime(float tempo, float factor);
  float getRepeatTime() const { return repeatTime_; }
  float getTempo() const { return tempo_; }
  float getPitch() const { return pitch_; }
  float getSamplingFactor() const { return samplingFactor_; }
  bool getLoop() const { return loop_; }
  float getLoopStart() const { return loopStart_; }
  float getLoopEnd() const { return loopEnd_; }
  double getPosition() const { return position_; }

  // Add, write, or write with a gain ramp, n ticks; nothing without a buffer, a wave or while inactive.
  void process(float* buf, int n);
  void processReplacing(float* buf, int n);
  void processReplacing(float* buf, int n, float gain, float gainIncrement);

 private:
  double tick(int frame);
  double tickOnce(int frame, double step);
  double tickLooped(int frame, double step);
  double interpolate(int i0, int i1, double frac);
  void fireOnce(Callback& callback, int frame);
  void endReached(int frame);
  bool canProcess(const float* buf, int n) const { return n >= 1 && buf && wave_ && active_; }

  void* userData_ = nullptr;
  Callback loopCallback_ = nullptr;
  Callback startCallback_ = nullptr;
  Callback endCallback_ = nullptr;
  const Sample* wave_ = nullptr;
  const float* envelope_ = nullptr;
  int size_ = 0;
  double position_ = 0.0;
  float pitch_ = 1.0f;
  float samplingFactor_ = 1.0f;
  float playRatio_ = 0.0f;
  float loopStart_ = 0.0f;
  float loopEnd_ = 0.0f;
  float lastIndex_ = 0.0f;
  float repeatTime_ = 0.0f;
  float tempo_ = 0.0f;
  float waveRate_ = 0.0f;
  float outputRate_ = 0.0f;
  bool loop_ = false;
  bool active_ = false;
};

using Sampler = BasicSampler<float>;
using Sampler16 = BasicSampler<short>;

extern template class BasicSampler<float>;
extern template class BasicSampler<short>;

extern "C" {

// A sampler with output rate 48000, repeat time 24000 and no wave. None when out of memory.
Sampler* sampler_create(void);
void sampler_destroy(Sampler* sampler);
// Sets the sampling factor (the step multiplier).
void sampler_set_pitch(Sampler* sampler, float factor);
// Sets the wave (not owned); the sampler is active when it has one.
void sampler_set_wave(Sampler* sampler, const float* wave, int size, float rate);
void sampler_set_loops(Sampler* sampler, int start, int end, int loop);
// Writes n ticks.
void sampler_process(Sampler* sampler, float* buf, int n);
// Writes n ticks times a gain that grows by `increment` per frame.
void sampler_process2(Sampler* sampler, float* buf, int n, float gain, float increment);

}  // extern "C"
